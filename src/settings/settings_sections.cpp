#include "settings/settings_sections.h"

#include "app/page_host.h"
#include "app/profile_session.h"
#include "app/user_session.h"
#include "settings/colour_dialog.h"
#include "settings/control_arithmetic.h"
#include "ui/gdip_button.h"
#include "ui/label_text.h"
#include "ui/qt_fonts.h"
#include "ui/skin_layout.h"
#include "ui/skinned_window.h"

#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QWheelEvent>

namespace qvr {
namespace {

// A right-panel section's title, as its header shows it.
QString sectionTitle(const MainWindowTexts& texts, int section) {
    const std::array<std::string_view, kRightSectionCount> titles = {
        texts.dpiSetting,       texts.lighting,    texts.reportRate, texts.mouseSpeed,
        texts.doubleClickSpeed, texts.scrollSpeed, texts.angleSnap};
    return qstr(titles[static_cast<std::size_t>(section)]);
}

using enum RightSection;

QRect rectOf(skin::Rect r) {
    return toQRect(r);
}

QRect rectAt(skin::Point at, skin::Size size) {
    return QRect(at.x, at.y, size.width, size.height);
}

QPoint topLeftOf(skin::Rect r) {
    return QPoint(r.left, r.top);
}

// The DPI section is always the first one shown, so its controls sit at
// fixed window positions; they are kept relative to its body like the rest.
constexpr QPoint kDpiBodyOrigin{skin::kRightHeaderLeft,
                                skin::kRightHeaderTop + skin::kHeaderHeight};
constexpr int kDpiSliderWidth = 10;
constexpr int kDpiEditTop = 220, kDpiEditBottom = 236, kDpiEditWidth = 40;
constexpr int kSwatchTop = 255, kSwatchSize = 10;
constexpr int kValueFrameInset = 2;
constexpr int kDpiFrameOffsetX = 5;
constexpr QRect kDialDownCaption = edges(765, 65, 850, 84);
constexpr QRect kDialUpCaption = edges(875, 65, 960, 84);
constexpr int kHeaderTitleIndent = 12;
constexpr int kDialCentre = 64, kGaugeCentre = 71;
constexpr int kMaxRows = 100;
// The skin's lane behind each DPI stage, relative to the section body.
constexpr int kDpiLaneHalfWidth = 24, kDpiLaneTop = 36, kDpiLaneHeight = 184;
const QColor kActiveStage(0x19, 0xc3, 0xff);

QColor withAlpha(QColor colour, int alpha) {
    colour.setAlpha(alpha);
    return colour;
}

QRect dpiSliderRect(int stage) {
    const int left = skin::kDpiSliderLeft[stage];
    return edges(left, skin::kDpiSliderTop, left + kDpiSliderWidth, skin::kDpiSliderBottom)
        .translated(-kDpiBodyOrigin);
}

QRect dpiEditRect(int stage) {
    const int left = skin::kDpiEditLeft[stage];
    return edges(left, kDpiEditTop, left + kDpiEditWidth, kDpiEditBottom);
}

QRect swatchRect(int stage) {
    return QRect(skin::kDpiSliderLeft[stage], kSwatchTop, kSwatchSize, kSwatchSize);
}

// A radio row answers on its picture and on its text.
QRect radioRow(skin::Rect radio, skin::Rect text) {
    return rectOf(radio).united(rectOf(text));
}

constexpr std::array<std::array<const char*, 5>, 3> kLightingStops = {{
    {"0%", "25%", "50%", "75%", "100%"},
    {"4S", "5S", "6S", "7S", "8S"},
    {"3S", "6S", "9S", "12S", "15S"},
}};

std::uint8_t& lightingParam(ConfigRecord& record, int row) {
    return row == 0   ? record.lightingParam1
           : row == 1 ? record.lightingParam2
                      : record.lightingParam3;
}

int lightingValue(const ConfigRecord& record, int row) {
    return row == 0   ? record.lightingParam1
           : row == 1 ? record.lightingParam2
                      : record.lightingParam3;
}

// Draws a label in a fixed rectangle, stepping the font down until the
// text fits: the texts of some languages are wider than the skin's room.
void drawFitted(QPainter& painter, QRect rect, int flags, const QString& text, QFont font) {
    painter.setFont(fittedFont(font, text, rect.width()));
    drawLabel(painter, rect, flags | Qt::TextSingleLine, text);
}

} // namespace

SettingsSections::SettingsSections(PageHost& host, UserSession& session, ColourDialog& colours)
    : QObject(&host.face()), host_(host), face_(&host.face()), session_(session),
      colours_(colours) {
    for (int stage = 0; stage < 4; ++stage) {
        auto* edit = new QLineEdit(&host.face());
        edit->setObjectName(QString("dpiEdit%1").arg(124 + stage));
        host_.face().placeChild(edit, dpiEditRect(stage));
        edit->hide();
        connect(edit, &QLineEdit::textEdited, this, [this, edit] {
            typing_ = true;
            typedIn_ = edit;
        });
        connect(edit, &QLineEdit::textChanged, this, [this, stage] { dpiTextChanged(stage); });
        connect(edit, &QLineEdit::editingFinished, this,
                [this, stage] { dpiEditingFinished(stage); });
        dpiEdits_[static_cast<std::size_t>(stage)] = edit;
    }
    rowsEdit_ = new QLineEdit(&host.face());
    rowsEdit_->setObjectName("rowsEdit121");
    rowsEdit_->hide();
    connect(rowsEdit_, &QLineEdit::textEdited, this, [this] {
        typing_ = true;
        typedIn_ = rowsEdit_;
    });
    connect(rowsEdit_, &QLineEdit::textChanged, this, [this] { rowsTextChanged(); });
    connect(rowsEdit_, &QLineEdit::editingFinished, this, [this] { rowsEditingFinished(); });
    for (QLineEdit* edit : {dpiEdits_[0], dpiEdits_[1], dpiEdits_[2], dpiEdits_[3], rowsEdit_}) {
        edit->setFrame(false);
        edit->setAlignment(Qt::AlignCenter);
        // Digits only, no more than the largest value has.
        const int digits = edit == rowsEdit_ ? 3 : 4;
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QString("[0-9]{0,%1}").arg(digits)), edit));
    }
    addElements();
    relayout();
    host.face().installEventFilter(this);
}

ElementTable::Id SettingsSections::addControl(int section, QRect inBody, ClickStage stage,
                                              std::function<void(QPoint, QRect)> click) {
    ElementTable& table = host_.face().elements();
    const ElementTable::Id id =
        table.add({.stage = stage, .onHit = OnHit::Continue, .active = [this, section] {
                       return controlsAnswer(section);
                   }});
    table[id].onClick = [this, id, click](QPoint at) {
        click(at, host_.face().elements().rectOf(id));
    };
    // The X/Y section moves with the assignment section, which another page
    // opens and closes.
    if (section == kLeftXY)
        table[id].follow = [this, inBody] { return inBody.translated(xyBodyOrigin()); };
    table[id].drag = stage == ClickStage::Sliders;
    controls_.push_back({id, section, inBody});
    return id;
}

void SettingsSections::addElements() {
    ElementTable& table = host_.face().elements();
    RecordState& state = session_.state();
    const auto redrawAfter = [this](auto change) {
        return [this, change](QPoint at, QRect rect) {
            change(at, rect);
            redraw();
        };
    };

    for (int s = 0; s < kRightSectionCount; ++s) {
        headerIds_[static_cast<std::size_t>(s)] =
            table.add({.onClick = [this, s](QPoint) { toggle(static_cast<RightSection>(s)); },
                       .stage = ClickStage::Sections,
                       .onHit = OnHit::Continue,
                       .active = [this, s] { return layout_[static_cast<std::size_t>(s)].visible; },
                       .name = [this, s] { return sectionTitle(host_.texts(), s); },
                       .role = ElementRole::SectionHeader});
    }
    // The left panel's header stops the dispatch, as the other left-panel
    // headers do.
    xyHeaderId_ = table.add({.onClick = [this](QPoint) { toggleXY(); },
                             .stage = ClickStage::PanelButtons,
                             .follow = [this] { return xyHeaderRect(); },
                             .name = [this] { return qstr(host_.texts().sensitivitySetting); },
                             .role = ElementRole::SectionHeader});

    // What the keyboard and screen readers make of the controls: names in
    // the window's language, roles, groups the arrows move in, values.
    const auto text = [this](std::string_view MainWindowTexts::*which) {
        return [this, which] { return qstr(host_.texts().*which); };
    };
    const auto slider = [&table](ElementTable::Id id, std::function<QString()> name, int group,
                                 int minimum, int maximum, std::function<int()> value,
                                 std::function<void(int)> setValue) {
        WindowElement& element = table[id];
        element.name = std::move(name);
        element.role = ElementRole::Slider;
        element.group = group;
        element.minimum = minimum;
        element.maximum = maximum;
        element.value = std::move(value);
        element.setValue = std::move(setValue);
    };

    const auto byte = [](std::uint8_t& field) {
        return std::pair{[&field] { return int(field); },
                         [&field](int value) { field = static_cast<std::uint8_t>(value); }};
    };
    const auto redrawn = [this](std::function<void(int)> set) {
        return [this, set = std::move(set)](int value) {
            set(value);
            redraw();
        };
    };

    const int xyGroup = table.newGroup();
    for (int axis = 0; axis < 2; ++axis) {
        const ElementTable::Id id = addControl(
            kLeftXY, rectOf(skin::kXYSliderHit[axis]), ClickStage::Sections,
            redrawAfter([&state, axis](QPoint at, QRect rect) {
                const auto value = static_cast<std::uint8_t>(stepSliderValue(at.x() - rect.left()));
                (axis == 0 ? state.record.sensitivityX : state.record.sensitivityY) = value;
            }));
        table[id].drag = true;
        const auto [get, set] =
            byte(axis == 0 ? state.record.sensitivityX : state.record.sensitivityY);
        slider(id, text(axis == 0 ? &MainWindowTexts::xAxis : &MainWindowTexts::yAxis), xyGroup, 1,
               11, get, redrawn(set));
    }

    const int swatchGroup = table.newGroup();
    for (int stage = 0; stage < 4; ++stage) {
        const ElementTable::Id swatch = addControl(
            index(DpiSetting), swatchRect(stage).translated(-kDpiBodyOrigin), ClickStage::Sections,
            [this, stage](QPoint, QRect) { pickStageColour(stage); });
        table[swatch].name = [this, stage] {
            return qstr(keyboardTexts(host_.language()).stageColour).arg(stage + 1);
        };
        table[swatch].group = swatchGroup;
    }
    const int lightingGroup = table.newGroup();
    for (int row = 0; row < 3; ++row) {
        const ElementTable::Id radio =
            addControl(index(Lighting), radioRow(skin::lightingRadio(row), skin::lightingName(row)),
                       ClickStage::Sections, redrawAfter([&state, row](QPoint, QRect) {
                           state.record.lightingMode = static_cast<std::uint8_t>(row + 1);
                       }));
        table[radio].name = text(row == 0   ? &MainWindowTexts::lightingStandard
                                 : row == 1 ? &MainWindowTexts::lightingRespiration
                                            : &MainWindowTexts::lightingNeon);
        table[radio].role = ElementRole::RadioButton;
        table[radio].group = lightingGroup;
        table[radio].checked = [&state, row] { return state.record.lightingMode == row + 1; };
    }
    const ElementTable::Id dial =
        addControl(index(ReportRate), rectAt(skin::kDialAt, skin::kDial), ClickStage::Sections,
                   redrawAfter([&state](QPoint at, QRect rect) {
                       const auto code = reportRateForDialClick(at.x() - rect.left() - kDialCentre,
                                                                at.y() - rect.top() - kDialCentre);
                       if (code)
                           state.record.reportRateCode = *code;
                   }));
    // The dial's four rates, slowest first, as the arrows step them.
    static constexpr std::array<std::uint8_t, 4> kRateCodes{8, 4, 2, 1};
    slider(
        dial, text(&MainWindowTexts::reportRate), 0, 0, 3,
        [&state] {
            const auto at = std::ranges::find(kRateCodes, state.record.reportRateCode);
            return at == kRateCodes.end() ? 0 : static_cast<int>(at - kRateCodes.begin());
        },
        redrawn([&state](int rate) {
            state.record.reportRateCode = kRateCodes[static_cast<std::size_t>(rate)];
        }));
    table[dial].valueText = [&state] {
        const auto hz = reportRateHz(state.record.reportRateCode);
        return hz ? QString("%1 Hz").arg(*hz) : QString();
    };
    for (RightSection gauge : {MouseSpeed, DoubleClickSpeed}) {
        const ElementTable::Id id = addControl(
            index(gauge), rectAt(skin::kGaugeAt, skin::kGauge), ClickStage::Sections,
            redrawAfter([&state, gauge](QPoint at, QRect rect) {
                const auto value = gaugeValueForClick(at.x() - rect.left() - kGaugeCentre,
                                                      at.y() - rect.top() - kGaugeCentre);
                if (!value)
                    return;
                (gauge == MouseSpeed ? state.record.pointerSpeed : state.record.doubleClickSpeed) =
                    static_cast<std::uint8_t>(*value);
                (gauge == MouseSpeed ? state.pointerChanges.speed
                                     : state.pointerChanges.doubleClick) = true;
            }));
        const auto [get, set] =
            byte(gauge == MouseSpeed ? state.record.pointerSpeed : state.record.doubleClickSpeed);
        slider(id,
               text(gauge == MouseSpeed ? &MainWindowTexts::mouseSpeed
                                        : &MainWindowTexts::doubleClickSpeed),
               0, 2, 12, get, redrawn([&state, gauge, set = set](int value) {
                   set(value);
                   (gauge == MouseSpeed ? state.pointerChanges.speed
                                        : state.pointerChanges.doubleClick) = true;
               }));
    }
    const int scrollGroup = table.newGroup();
    for (int row = 0; row < 2; ++row) {
        const ElementTable::Id radio = addControl(
            index(ScrollSpeed), radioRow(skin::kScrollRadio[row], skin::kScrollText[row]),
            ClickStage::Sections, redrawAfter([this, &state, row](QPoint, QRect) {
                state.record.scrollOneScreen = static_cast<std::uint8_t>(row);
                state.pointerChanges.scrollLines = true;
                rowsEdit_->setEnabled(row == 0);
            }));
        table[radio].name =
            text(row == 0 ? &MainWindowTexts::numberOfRows : &MainWindowTexts::scrollOneScreen);
        table[radio].role = ElementRole::RadioButton;
        table[radio].group = scrollGroup;
        table[radio].checked = [&state, row] { return state.record.scrollOneScreen == row; };
    }
    const int rowsGroup = table.newGroup();
    for (const int delta : {+1, -1}) {
        const ElementTable::Id step =
            addControl(index(ScrollSpeed), rectOf(delta > 0 ? skin::kScrollUp : skin::kScrollDown),
                       ClickStage::Sections, [this, delta](QPoint, QRect) { stepRows(delta); });
        table[step].name = [this, delta] {
            const KeyboardTexts& texts = keyboardTexts(host_.language());
            return qstr(delta > 0 ? texts.moreRows : texts.fewerRows);
        };
        table[step].group = rowsGroup;
    }

    // The sliders come last, after the assignment drop-downs. The DPI
    // stages stand side by side: Left and Right go from one to the next.
    const int dpiGroup = table.newGroup();
    for (int stage = 0; stage < 4; ++stage) {
        const ElementTable::Id id =
            addControl(index(DpiSetting), dpiSliderRect(stage), ClickStage::Sliders,
                       [this, &state, stage](QPoint at, QRect) {
                           const int value = dpiSliderValue(skin::kDpiSliderBottom, at.y());
                           state.record.dpiStage[static_cast<std::size_t>(stage)] =
                               static_cast<std::uint8_t>(value);
                           // The box's rule turns a value of 1 into 2 at once.
                           setEditText(dpiEdit(stage), value * kDpiUnit);
                           redraw();
                       });
        std::uint8_t& stored = state.record.dpiStage[static_cast<std::size_t>(stage)];
        slider(
            id,
            [this, stage] {
                return QString("%1 %2").arg(qstr(host_.texts().dpiSetting)).arg(stage + 1);
            },
            dpiGroup, 2, 100, [&stored] { return int(stored); },
            [this, &stored, stage](int value) {
                stored = static_cast<std::uint8_t>(value);
                setEditText(dpiEdit(stage), value * kDpiUnit);
                redraw();
            });
        table[id].orientation = Qt::Vertical;
        table[id].valueText = [&stored] { return QString::number(int(stored) * kDpiUnit); };
    }
    const int lightingLevels = table.newGroup();
    for (int row = 0; row < 3; ++row) {
        const ElementTable::Id id =
            addControl(index(Lighting), rectOf(skin::lightingSliderHit(row)), ClickStage::Sliders,
                       redrawAfter([&state, row](QPoint at, QRect rect) {
                           lightingParam(state.record, row) =
                               static_cast<std::uint8_t>(lightingSliderValue(at.x() - rect.left()));
                       }));
        const auto [get, set] = byte(lightingParam(state.record, row));
        slider(id,
               text(row == 0   ? &MainWindowTexts::lightingStandard
                    : row == 1 ? &MainWindowTexts::lightingRespiration
                               : &MainWindowTexts::lightingNeon),
               lightingLevels, 1, 6, get, redrawn(set));
    }
    const ElementTable::Id angle =
        addControl(index(AngleSnap), rectOf(skin::kAngleSliderHit), ClickStage::Sliders,
                   redrawAfter([&state](QPoint at, QRect rect) {
                       state.record.angleSnapLevel =
                           static_cast<std::uint8_t>(stepSliderValue(at.x() - rect.left()));
                   }));
    const auto [angleGet, angleSet] = byte(state.record.angleSnapLevel);
    slider(angle, text(&MainWindowTexts::angleSnap), 0, 1, 11, angleGet, redrawn(angleSet));
}

bool SettingsSections::controlsAnswer(int section) const {
    if (section == kLeftXY)
        return host_.leftPanel().xyOpen;
    const auto s = static_cast<std::size_t>(section);
    return open_[s] && layout_[s].visible;
}

QRect SettingsSections::headerRect(RightSection section) const {
    return QRect(skin::kRightHeaderLeft, layout_[index(section)].headerTop, skin::kPanelWidth,
                 skin::kHeaderHeight);
}

QPoint SettingsSections::bodyOrigin(RightSection section) const {
    return QPoint(skin::kRightHeaderLeft, layout_[index(section)].headerTop + skin::kHeaderHeight);
}

QRect SettingsSections::xyHeaderRect() const {
    return host_.leftPanel().xyHeader();
}

QPoint SettingsSections::xyBodyOrigin() const {
    return QPoint(host_.leftPanel().xyHeader().left(), host_.leftPanel().xyBodyTop());
}

QPoint SettingsSections::originOf(int section) const {
    return section == kLeftXY ? xyBodyOrigin() : bodyOrigin(static_cast<RightSection>(section));
}

void SettingsSections::placeElements() {
    ElementTable& table = host_.face().elements();
    for (int s = 0; s < kRightSectionCount; ++s)
        table.setRect(headerIds_[static_cast<std::size_t>(s)],
                      headerRect(static_cast<RightSection>(s)));
    table.setRect(xyHeaderId_, xyHeaderRect());
    for (const Control& control : controls_)
        table.setRect(control.id, control.inBody.translated(originOf(control.section)));
}

void SettingsSections::relayout() {
    layout_ = layOutRightPanel(open_, position_);
    placeElements();
    // The boxes exist only while their section is shown; a box that comes
    // back takes its text from the record.
    const bool dpiShown = controlsAnswer(index(DpiSetting));
    for (QLineEdit* edit : dpiEdits_)
        edit->setVisible(dpiShown);
    const bool rowsShown = controlsAnswer(index(ScrollSpeed));
    if (rowsShown)
        host_.face().placeChild(rowsEdit_,
                                rectOf(skin::kScrollEdit).translated(bodyOrigin(ScrollSpeed)));
    rowsEdit_->setVisible(rowsShown);
    if (typedIn_ && !typedIn_->isVisibleTo(&host_.face()))
        typedIn_ = nullptr;
    styleEdits();
    syncEdits();
}

void SettingsSections::languageChanged() {
    editStyle_.clear();
    styleEdits();
}

void SettingsSections::styleEdits() {
    // Screen readers name each box by what it sets, in the window's language.
    const MainWindowTexts& texts = host_.texts();
    for (std::size_t stage = 0; stage < dpiEdits_.size(); ++stage)
        if (const QString name = QString("%1 %2").arg(qstr(texts.dpiSetting)).arg(stage + 1);
            dpiEdits_[stage]->accessibleName() != name)
            dpiEdits_[stage]->setAccessibleName(name);
    if (const QString rows = qstr(texts.numberOfRows); rowsEdit_->accessibleName() != rows)
        rowsEdit_->setAccessibleName(rows);
    // Dark boxes that let the skin's value frame show through, with the
    // text in the skin's colour; a disabled box greys its text.
    const QColor text = host_.face().textColor();
    const QString style = QString("QLineEdit { background: transparent; color: %1; border: none; "
                                  "selection-background-color: rgb(0, 110, 190); }"
                                  "QLineEdit:disabled { color: rgb(96, 100, 110); }")
                              .arg(text.name());
    if (style == editStyle_)
        return;
    editStyle_ = style;
    // The boxes are narrow: the font is the one their widest value fits.
    constexpr int kEditMargins = 6; // the line edit's own margins and a pixel each side
    const QFont dpiFont =
        fittedFont(host_.face().textFont(), QString::number(kMaxDpi), kDpiEditWidth - kEditMargins);
    const QFont rowsFont =
        fittedFont(host_.face().textFont(), QString::number(kMaxRows),
                   skin::kScrollEdit.right - skin::kScrollEdit.left - kEditMargins);
    for (QLineEdit* edit : dpiEdits_) {
        edit->setStyleSheet(style);
        host_.face().setChildFont(edit, dpiFont);
    }
    rowsEdit_->setStyleSheet(style);
    host_.face().setChildFont(rowsEdit_, rowsFont);
}

void SettingsSections::syncEdits() {
    const ConfigRecord& record = session_.state().record;
    for (int stage = 0; stage < 4; ++stage) {
        QLineEdit* edit = dpiEdit(stage);
        const int stored = record.dpiStage[static_cast<std::size_t>(stage)];
        if (edit != typedIn_ && edit->isVisibleTo(&host_.face()) &&
            (edit->text().isEmpty() || dpiEditRule(edit->text().toStdString()).value != stored))
            setEditText(edit, stored * kDpiUnit);
    }
    if (rowsEdit_->isVisibleTo(&host_.face())) {
        if (rowsEdit_ != typedIn_ &&
            (rowsEdit_->text().isEmpty() ||
             scrollRowsEditRule(rowsEdit_->text().toStdString()).value != record.wheelScrollLines))
            setEditText(rowsEdit_, record.wheelScrollLines);
        rowsEdit_->setEnabled(record.scrollOneScreen == 0);
    }
}

void SettingsSections::setEditText(QLineEdit* edit, int value) {
    // A slider or an arrow overrides what was being typed.
    if (edit == typedIn_)
        typedIn_ = nullptr;
    editUpdateGuard_ = true;
    edit->setText(QString::number(value));
    editUpdateGuard_ = false;
}

void SettingsSections::dpiTextChanged(int stage) {
    QLineEdit* edit = dpiEdit(stage);
    const bool typing = std::exchange(typing_, false);
    auto& stored = session_.state().record.dpiStage[static_cast<std::size_t>(stage)];
    // While the user types, the record follows within the limits but the
    // digits stay as typed: checking each keystroke against the limits
    // would turn the first digit of "2600" into "100". The box shows what
    // is stored when typing ends.
    if (typing) {
        if (!edit->text().isEmpty())
            stored = static_cast<std::uint8_t>(dpiEditRule(edit->text().toStdString()).value);
        host_.redraw();
        return;
    }
    const EditRuleResult result = dpiEditRule(edit->text().toStdString());
    if (result.replacement) {
        const QSignalBlocker block(edit);
        edit->setText(QString::fromStdString(*result.replacement));
    }
    stored = static_cast<std::uint8_t>(result.value);
    if (!editUpdateGuard_)
        host_.redraw();
}

void SettingsSections::dpiEditingFinished(int stage) {
    if (typedIn_ == dpiEdit(stage))
        typedIn_ = nullptr;
    const int stored = session_.state().record.dpiStage[static_cast<std::size_t>(stage)];
    setShownValue(dpiEdit(stage), dpiEditRule(std::to_string(stored * kDpiUnit)).value * kDpiUnit);
}

void SettingsSections::setShownValue(QLineEdit* edit, int value) {
    const QString text = QString::number(value);
    if (edit->text() == text)
        return;
    const QSignalBlocker block(edit);
    edit->setText(text);
}

void SettingsSections::rowsTextChanged() {
    const bool typing = std::exchange(typing_, false);
    auto& stored = session_.state().record.wheelScrollLines;
    if (typing) {
        // Typing "15" passes through "1", and a cleared box is no value
        // yet: only values inside the limits are taken while typing.
        const int value = parseProfileInt(rowsEdit_->text().toStdString());
        if (!scrollRowsEditRule(rowsEdit_->text().toStdString()).replacement) {
            stored = static_cast<std::uint8_t>(value);
            session_.state().pointerChanges.scrollLines = true;
        }
        return;
    }
    const EditRuleResult result = scrollRowsEditRule(rowsEdit_->text().toStdString());
    if (result.replacement) {
        const QSignalBlocker block(rowsEdit_);
        rowsEdit_->setText(QString::fromStdString(*result.replacement));
    }
    stored = static_cast<std::uint8_t>(result.value);
    if (!editUpdateGuard_)
        session_.state().pointerChanges.scrollLines = true;
}

void SettingsSections::rowsEditingFinished() {
    if (typedIn_ == rowsEdit_)
        typedIn_ = nullptr;
    auto& stored = session_.state().record.wheelScrollLines;
    // A box left empty keeps the stored value; anything else takes the rule.
    if (!rowsEdit_->text().isEmpty())
        stored =
            static_cast<std::uint8_t>(scrollRowsEditRule(rowsEdit_->text().toStdString()).value);
    setShownValue(rowsEdit_, stored);
}

void SettingsSections::stepRows(int delta) {
    if (!rowsEdit_->isVisibleTo(&host_.face()))
        return;
    std::uint8_t& lines = session_.state().record.wheelScrollLines;
    lines = static_cast<std::uint8_t>(std::clamp(lines + delta, 1, kMaxRows));
    session_.state().pointerChanges.scrollLines = true;
    setEditText(rowsEdit_, lines);
}

void SettingsSections::pickStageColour(int stage) {
    const Rgb current = stageColor(session_.state().record, stage);
    const auto colour = colours_.pickColour(QColor(current.red, current.green, current.blue));
    if (!colour)
        return;
    setStageColor(session_.state().record, stage,
                  Rgb{static_cast<std::uint8_t>(colour->red()),
                      static_cast<std::uint8_t>(colour->green()),
                      static_cast<std::uint8_t>(colour->blue())});
    redraw();
}

void SettingsSections::toggle(RightSection section) {
    if (!isVisible(section))
        return;
    open_[index(section)] = !open_[index(section)];
    // Closing a lower section may leave nothing to scroll to: the panel
    // then goes back up, so the upper sections cannot be stranded.
    if (position_ == PanelPosition::Bottom && !panelOverflows(open_)) {
        position_ = PanelPosition::Top;
        placeThumb();
    }
    relayout();
    redraw();
}

void SettingsSections::toggleXY() {
    host_.leftPanel().xyOpen = !host_.leftPanel().xyOpen;
    placeElements();
    redraw();
}

void SettingsSections::scrollTo(int thumbTop) {
    // With nothing to scroll to the thumb goes back to the top at once.
    if (!panelOverflows(open_))
        placeThumb();
    const auto position = panelPositionForThumb(thumbTop, open_, position_);
    if (!position)
        return;
    position_ = *position;
    relayout();
    redraw();
}

void SettingsSections::scrollToPosition(PanelPosition position) {
    if (position == PanelPosition::Bottom && !panelOverflows(open_))
        position = PanelPosition::Top;
    const bool moved = position != position_;
    position_ = position;
    placeThumb();
    if (moved) {
        relayout();
        redraw();
    }
}

void SettingsSections::placeThumb() {
    CGdipButton* thumb = host_.scrollThumb();
    if (!thumb)
        return;
    if (position_ == PanelPosition::Top)
        thumb->moveToTopEnd();
    else
        thumb->moveToBottomEnd();
}

void SettingsSections::closeAll() {
    open_ = {};
    host_.leftPanel().xyOpen = false;
    host_.leftPanel().assignmentOpen = false;
    position_ = PanelPosition::Top;
    // The thumb goes back up with the panel, so that it shows where it is.
    placeThumb();
    relayout();
    redraw();
}

bool SettingsSections::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over the right panel scrolls it, as a drag of its thumb does.
    if (watched == face_ && event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const int notches = wheel->angleDelta().y();
        if (host_.face().toFace(wheel->position()).x() >= skin::kRightPanel.left && notches != 0) {
            scrollToPosition(notches < 0 ? PanelPosition::Bottom : PanelPosition::Top);
            return true;
        }
    }
    // Page Up and Page Down scroll it from the keyboard, wherever the focus
    // is in the window (a key an edit box leaves comes on to the window).
    if (watched == face_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            scrollToPosition(key == Qt::Key_PageDown ? PanelPosition::Bottom : PanelPosition::Top);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void SettingsSections::refresh() {
    // A record loaded, reset or cancelled replaces what was being typed.
    typedIn_ = nullptr;
    relayout();
    redraw();
}

void SettingsSections::redraw() {
    host_.redraw();
}

// ------------------------------------------------------------------ drawing

void SettingsSections::paint(QPainter& painter) {
    // The assignment section may have moved the X/Y section since the last
    // paint; its rectangles follow before the next click.
    placeElements();
    styleEdits();
    syncEdits();

    const MainWindowTexts& texts = host_.texts();
    paintHeader(painter, xyHeaderRect(), qstr(texts.sensitivitySetting));
    if (host_.leftPanel().xyOpen)
        paintXY(painter, xyBodyOrigin());

    const ConfigRecord& record = session_.state().record;
    for (int s = 0; s < kRightSectionCount; ++s) {
        const auto section = static_cast<RightSection>(s);
        if (!isVisible(section))
            continue;
        paintHeader(painter, headerRect(section), sectionTitle(texts, s));
        if (!isOpen(section))
            continue;
        const QPoint origin = bodyOrigin(section);
        switch (section) {
        case DpiSetting:
            paintDpi(painter);
            break;
        case Lighting:
            paintLighting(painter, origin);
            break;
        case ReportRate:
            paintReportRate(painter, origin);
            break;
        case MouseSpeed:
            paintGauge(painter, origin, record.pointerSpeed);
            break;
        case DoubleClickSpeed:
            paintGauge(painter, origin, record.doubleClickSpeed);
            break;
        case ScrollSpeed:
            paintScroll(painter, origin);
            break;
        case AngleSnap:
            paintAngleSnap(painter, origin);
            break;
        }
    }
}

void SettingsSections::paintHeader(QPainter& painter, QRect rect, const QString& title) {
    host_.face().skin().draw(painter, "/ItemBK.png", rect.topLeft());
    painter.setFont(host_.face().textFont());
    painter.setPen(host_.face().textColor());
    drawLabel(painter, rect.adjusted(kHeaderTitleIndent, 0, 0, 0),
              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
}

void SettingsSections::paintStepSlider(QPainter& painter, QRect hit, QRect labels, int value) {
    host_.face().skin().draw(painter,
                             QString::asprintf("/StageSlider/%d.png", frameFor(value, 1, 11)),
                             hit.topLeft() - QPoint(skin::kStepFrameInset, skin::kStepFrameInset));
    painter.setFont(host_.smallFont());
    painter.setPen(host_.face().textColor());
    for (int stop = 1; stop <= 10; ++stop) {
        const int centre = hit.left() + skin::stepSliderStop(stop);
        drawLabel(painter, QRect(centre - 12, labels.top(), 25, labels.height()),
                  Qt::AlignCenter | Qt::TextSingleLine, QString::number(stop));
    }
}

void SettingsSections::paintXY(QPainter& painter, QPoint origin) {
    host_.face().skin().draw(painter, "/XYSensitivity/BK_XYSensSetting.png", origin);
    const MainWindowTexts& texts = host_.texts();
    const ConfigRecord& record = session_.state().record;
    const std::array<std::string_view, 2> captions = {texts.xAxis, texts.yAxis};
    const std::array<int, 2> values = {record.sensitivityX, record.sensitivityY};
    for (std::size_t axis = 0; axis < 2; ++axis) {
        painter.setFont(host_.face().textFont());
        painter.setPen(host_.face().textColor());
        drawLabel(painter, rectOf(skin::kXYCaption[axis]).translated(origin),
                  Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, qstr(captions[axis]));
        paintStepSlider(painter, rectOf(skin::kXYSliderHit[axis]).translated(origin),
                        rectOf(skin::kXYStopLabels[axis]).translated(origin), values[axis]);
    }
}

void SettingsSections::paintDpi(QPainter& painter) {
    SkinImageCache& skin = host_.face().skin();
    skin.draw(painter, "/DPISetting/BK_DPISetting.png", kDpiBodyOrigin);
    const MainWindowTexts& texts = host_.texts();
    painter.setPen(host_.face().textColor());
    // Each caption may use the room up to the next one.
    const int captionFlags = Qt::AlignLeft | Qt::AlignVCenter;
    drawFitted(
        painter,
        kDialDownCaption.adjusted(0, 0, kDialUpCaption.left() - kDialDownCaption.right() - 2, 0),
        captionFlags, qstr(texts.dpiDialDown), host_.smallFont());
    drawFitted(painter, kDialUpCaption.adjusted(0, 0, 14, 0), captionFlags, qstr(texts.dpiDialUp),
               host_.smallFont());
    const ConfigRecord& record = session_.state().record;
    for (int stage = 0; stage < 4; ++stage) {
        const int value = record.dpiStage[static_cast<std::size_t>(stage)];
        skin.draw(painter,
                  QString::asprintf("/DPISetting/DPIStage/%d.png", frameFor(value, 1, 100)),
                  QPoint(skin::kDpiSliderLeft[stage] - kDpiFrameOffsetX, skin::kDpiFrameTop));
        skin.draw(painter, "/DPISetting/BK-DPIValue.png",
                  dpiEditRect(stage).topLeft() - QPoint(kValueFrameInset, kValueFrameInset));
        const Rgb colour = stageColor(record, stage);
        painter.fillRect(swatchRect(stage), QColor(colour.red, colour.green, colour.blue));
    }
    // The stage the mouse's own buttons are at gets its lane ringed.
    if (const auto active = session_.activeDpiStage(); active && *active >= 1 && *active <= 4) {
        const int centre = skin::kDpiSliderLeft[*active - 1] + kDpiSliderWidth / 2;
        const QRectF lane(centre - kDpiLaneHalfWidth, kDpiBodyOrigin.y() + kDpiLaneTop,
                          2 * kDpiLaneHalfWidth, kDpiLaneHeight);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(withAlpha(kActiveStage, 70), 3));
        painter.drawRoundedRect(lane.adjusted(-1, -1, 1, 1), 6, 6);
        painter.setPen(QPen(kActiveStage, 1.5));
        painter.drawRoundedRect(lane.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
        painter.restore();
    }
}

void SettingsSections::paintLighting(QPainter& painter, QPoint origin) {
    SkinImageCache& skin = host_.face().skin();
    skin.draw(painter, "/Lighting/BK_Lighting.png", origin);
    const MainWindowTexts& texts = host_.texts();
    const ConfigRecord& record = session_.state().record;
    const std::array<std::string_view, 3> names = {texts.lightingStandard,
                                                   texts.lightingRespiration, texts.lightingNeon};
    // The three names share one size, and so do the stop labels of all rows:
    // a row drawn smaller than its neighbours looks like a fault.
    const QFont nameFont = fittedFont(host_.face().textFont(),
                                      QStringList{qstr(names[0]), qstr(names[1]), qstr(names[2])},
                                      rectOf(skin::lightingName(0)).width());
    constexpr int kStopRoom = 30; // the stops' pitch: labels never touch
    QStringList stopTexts;
    for (const auto& row : kLightingStops)
        for (const char* text : row)
            stopTexts << text;
    const QFont stopFont = fittedFont(host_.smallFont(), stopTexts, kStopRoom - 2);
    for (int row = 0; row < 3; ++row) {
        const bool chosen = record.lightingMode == row + 1;
        skin.draw(painter, chosen ? "/Enable.png" : "/Disable.png",
                  topLeftOf(skin::lightingRadio(row)) + origin);
        painter.setPen(host_.face().textColor());
        painter.setFont(nameFont);
        drawLabel(painter, rectOf(skin::lightingName(row)).translated(origin),
                  Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                  qstr(names[static_cast<std::size_t>(row)]));
        const QRect hit = rectOf(skin::lightingSliderHit(row)).translated(origin);
        const int value = lightingValue(record, row);
        skin.draw(painter, QString::asprintf("/Lighting/%d.png", frameFor(value, 1, 6)),
                  hit.topLeft() - QPoint(skin::kLightingFrameInset, skin::kLightingFrameInset));
        const QRect labels = rectOf(skin::lightingLabels(row)).translated(origin);
        painter.setFont(stopFont);
        for (int stop = 1; stop <= 5; ++stop) {
            const int centre = hit.left() + skin::lightingSliderStop(stop);
            drawLabel(
                painter, QRect(centre - kStopRoom / 2, labels.top(), kStopRoom, labels.height()),
                Qt::AlignCenter | Qt::TextSingleLine,
                kLightingStops[static_cast<std::size_t>(row)][static_cast<std::size_t>(stop - 1)]);
        }
    }
}

void SettingsSections::paintReportRate(QPainter& painter, QPoint origin) {
    SkinImageCache& skin = host_.face().skin();
    skin.draw(painter, "/USBReportRate/BK_USBReportRate.png", origin);
    const QRect dial = rectAt(skin::kDialAt, skin::kDial).translated(origin);
    const auto hz = reportRateHz(session_.state().record.reportRateCode);
    if (!hz) {
        // A code the mouse does not know: the dial without a chosen rate.
        painter.setOpacity(0.35);
        skin.draw(painter, "/USBReportRate/1000HZ.png", dial.topLeft());
        painter.setOpacity(1.0);
        return;
    }
    skin.draw(painter, QString::asprintf("/USBReportRate/%dHZ.png", *hz), dial.topLeft());
    painter.setPen(host_.face().textColor());
    painter.setFont(host_.headingFont());
    const QRect disc(dial.center() - QPoint(28, 20), QSize(57, 26));
    drawLabel(painter, disc, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
              QString::number(*hz));
    painter.setFont(host_.smallFont());
    drawLabel(painter, QRect(disc.left(), disc.bottom() + 1, disc.width(), 16),
              Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, "Hz");
}

void SettingsSections::paintGauge(QPainter& painter, QPoint origin, int value) {
    SkinImageCache& skin = host_.face().skin();
    skin.draw(painter, "/MouseAttribute/BK_MouseAttribute.png", origin);
    skin.draw(painter, QString::asprintf("/MouseAttribute/Speed/%d.png", frameFor(value, 2, 12)),
              QPoint(skin::kGaugeAt.x, skin::kGaugeAt.y) + origin);
    const MainWindowTexts& texts = host_.texts();
    painter.setFont(host_.smallFont());
    painter.setPen(host_.face().textColor());
    drawLabel(painter, rectOf(skin::kGaugeSlowLabel).translated(origin),
              Qt::AlignCenter | Qt::TextSingleLine, qstr(texts.slow));
    drawLabel(painter, rectOf(skin::kGaugeFastLabel).translated(origin),
              Qt::AlignCenter | Qt::TextSingleLine, qstr(texts.fast));
}

void SettingsSections::paintScroll(QPainter& painter, QPoint origin) {
    SkinImageCache& skin = host_.face().skin();
    skin.draw(painter, "/MouseAttribute/BK_ScrollSpeed.png", origin);
    const MainWindowTexts& texts = host_.texts();
    const bool oneScreen = session_.state().record.scrollOneScreen != 0;
    const std::array<std::string_view, 2> captions = {texts.numberOfRows, texts.scrollOneScreen};
    // The first caption has only the room left of the rows box; both rows
    // take the size it needs.
    painter.setFont(fittedFont(host_.face().textFont(), qstr(captions[0]),
                               rectOf(skin::kScrollText[0]).width()));
    painter.setPen(host_.face().textColor());
    for (std::size_t row = 0; row < 2; ++row) {
        const bool chosen = (row == 1) == oneScreen;
        skin.draw(painter,
                  chosen ? "/MouseAttribute/ScrollSpeed/Enable.png"
                         : "/MouseAttribute/ScrollSpeed/Disable.png",
                  topLeftOf(skin::kScrollRadio[row]) + origin);
        drawLabel(painter, rectOf(skin::kScrollText[row]).translated(origin),
                  Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, qstr(captions[row]));
    }
    skin.draw(painter, "/MouseAttribute/ScrollSpeed/ScrollLines.png",
              QPoint(skin::kScrollLinesAt.x, skin::kScrollLinesAt.y) + origin);
}

void SettingsSections::paintAngleSnap(QPainter& painter, QPoint origin) {
    SkinImageCache& skin = host_.face().skin();
    skin.draw(painter, "/AngleSnap/BK_AngleSnap.png", origin);
    const int level = session_.state().record.angleSnapLevel;
    skin.draw(painter, QString::asprintf("/AngleSnap/%d.png", frameFor(level, 1, 11)),
              QPoint(skin::kAnglePreviewAt.x, skin::kAnglePreviewAt.y) + origin);
    paintStepSlider(painter, rectOf(skin::kAngleSliderHit).translated(origin),
                    rectOf(skin::kAngleStopLabels).translated(origin), level);
}

} // namespace qvr
