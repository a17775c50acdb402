#include "gui/buttons/assignment_section.h"

#include "core/buttons/button_labels.h"
#include "core/buttons/key_tables.h"
#include "core/layout/skin_layout.h"
#include "gui/buttons/key_combination_dialog.h"
#include "gui/buttons/single_key_dialog.h"
#include "gui/macros/macro_key_dialog.h"
#include "gui/profiles/macro_profile_dialogs.h"
#include "gui/session/profile_session.h"
#include "gui/session/user_session.h"
#include "gui/widgets/face_accessible.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skin_list_box.h"
#include "gui/widgets/skinned_window.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace qvr {

namespace {

constexpr std::string_view kWarningCaption = "Warning";
constexpr int kBoxArrowWidth = 16;

// The lists are the window's native controls. The white-on-blue of the
// original lists clashes with the dark skin, so they take the skin's panel
// colour and its accent for the entry under the pointer.
const ListColours kListColours{QColor(250, 250, 250), QColor(0x1b, 0x1e, 0x25),
                               QColor(0x11, 0x7d, 0xb0)};

constexpr std::array kOptionLists = {OptionList::Scroll, OptionList::Dpi, OptionList::Media,
                                     OptionList::HotKey, OptionList::Windows};

// Said on the page's header row while the mouse is away, so the missing
// page does not look like a fault. English, Simplified, Traditional Chinese.
constexpr std::array<std::string_view, 3> kAssignWhenConnected{
    "Connect the mouse to assign buttons",
    "连接鼠标后即可设置按键",
    "連接滑鼠後即可設定按鍵",
};

std::size_t slot(OptionList option) {
    return static_cast<std::size_t>(option);
}

QStringList toList(std::span<const std::string_view> texts) {
    QStringList list;
    for (std::string_view text : texts)
        list << qstr(text);
    return list;
}

QStringList optionEntries(OptionList option, Language language) {
    const OptionListTexts& texts = optionListTexts(language);
    switch (option) {
    case OptionList::Scroll:
        return toList(texts.scroll);
    case OptionList::Dpi:
        return toList(texts.dpi);
    case OptionList::Media:
        return toList(texts.media);
    case OptionList::HotKey:
        return toList(texts.hotKey);
    case OptionList::Windows:
        return toList(texts.windowsCommand);
    }
    return {};
}

QString boxImage(AssignmentSection::BoxLook look) {
    switch (look) {
    case AssignmentSection::BoxLook::Over:
        return QStringLiteral("/ButtonAssignment/DropdownBox-over.png");
    case AssignmentSection::BoxLook::Leave:
        return QStringLiteral("/ButtonAssignment/DropdownBox-leave.png");
    case AssignmentSection::BoxLook::Normal:
        break;
    }
    return QStringLiteral("/ButtonAssignment/DropdownBox-normal.png");
}

} // namespace

QRect AssignmentSection::optionListRect(OptionList option, QRect list, QRect entry) {
    // Scroll Select and CPI Cycle open level with the entry; the longer
    // lists end level with its bottom edge.
    const int right = list.left() + list.width();
    const int entryRight = entry.left() + entry.width();
    const int entryBottom = entry.top() + entry.height();
    switch (option) {
    case OptionList::Scroll:
        return QRect(list.left() + entryRight, list.top() + entry.top(), 110, 60);
    case OptionList::Dpi:
        return QRect(list.left() + entryRight, list.top() + entry.top(), 60, 60);
    case OptionList::Media:
        return QRect(right, list.top() + entryBottom - 130, 90, 130);
    case OptionList::HotKey:
        return QRect(right, list.top() + entryBottom - 162, 60, 162);
    case OptionList::Windows:
        return QRect(right, list.top() + entryBottom - 114, 90, 114);
    }
    return {};
}

AssignmentSection::AssignmentSection(PageHost& host, UserSession& session)
    : QObject(&host.face()), host_(host), face_(&host.face()), session_(session) {
    looks_.fill(BoxLook::Normal);
    addElements();
    host_.face().installEventFilter(this);
    addAccessibleFaceText(host_.face(), {.rect = [] { return LeftPanel::kAssignmentHeader; },
                                         .text = [this] { return absenceText(); }});
}

QString AssignmentSection::absenceText() const {
    // Not while the start-up search may still find the mouse.
    if (host_.pageDrawn() || session_.startUpSearch() != StartUpSearch::Answered)
        return {};
    const std::string_view text = kAssignWhenConnected[static_cast<std::size_t>(host_.language())];
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

AssignmentSection::~AssignmentSection() = default;

void AssignmentSection::addElements() {
    ElementTable& table = host_.face().elements();
    actions_.add(table, *this,
                 {.rect = LeftPanel::kAssignmentHeader,
                  .stage = ClickStage::PanelButtons,
                  .active = [this] { return host_.pageDrawn(); },
                  .name = [this] { return qstr(host_.texts().buttonAssignment); },
                  .role = ElementRole::SectionHeader},
                 [this](QPoint) { toggle(); });
    // Runs before the boxes and lets the click on to them.
    actions_.add(table, *this,
                 {.rect = QRect(QPoint(0, 0), kMainFaceSize),
                  .stage = ClickStage::DropDowns,
                  .onHit = OnHit::Continue,
                  .active = [this] { return anyFunctionList(); }},
                 [this](QPoint position) { closeListsOutside(position); });
    const int boxes = table.newGroup();
    for (int index = 0; index < kButtonCount; ++index) {
        const auto n = static_cast<std::size_t>(index);
        actions_.add(
            table, *this,
            {.rect = boxRect(index),
             .stage = ClickStage::DropDowns,
             .active = [this] { return host_.pageDrawn() && isOpen(); },
             .name = [this, n] { return qstr(host_.texts().buttonTitles[n]); },
             .role = ElementRole::DropDown,
             .group = boxes,
             .valueText = [this,
                           n] { return QString::fromStdString(session_.profile().labels()[n]); },
             .expanded = [this, n] { return !functionLists_[n].isNull(); }},
            [this, index](QPoint) { clickBox(index); });
    }
}

void AssignmentSection::press(ElementTable::Id id, QPoint at) {
    actions_.press(id, at);
}

bool AssignmentSection::isOpen() const {
    return host_.leftPanel().assignmentOpen;
}

void AssignmentSection::toggle() {
    host_.leftPanel().assignmentOpen = !host_.leftPanel().assignmentOpen;
    if (!isOpen()) {
        closeAllLists();
        hoveredBox_.reset();
        highlighted_.fill(false);
        looks_.fill(BoxLook::Normal);
    }
    host_.redraw();
}

void AssignmentSection::clickBox(int index) {
    if (!isOpen() || index < 0 || index >= kButtonCount)
        return;
    const auto n = static_cast<std::size_t>(index);
    // A list that stayed open after an entry with options was chosen is
    // still the open list: one click on its box closes it.
    if (listOpen_[n] || functionLists_[n]) {
        destroyFunctionList(index);
        listOpen_[n] = false;
        host_.redraw();
        return;
    }
    for (int other = 0; other < kButtonCount; ++other) {
        if (other != index)
            listOpen_[static_cast<std::size_t>(other)] = false;
    }
    for (int other = 0; other < kButtonCount; ++other) {
        if (other != index && functionLists_[static_cast<std::size_t>(other)]) {
            destroyFunctionList(other);
            break;
        }
    }
    // At least one button keeps "Click", or the mouse could not be clicked.
    const auto& functions = session_.state().record.buttonFunction;
    const bool lastClick = functions[n] == 0 && std::ranges::count(functions, std::uint8_t{0}) == 1;
    if (lastClick) {
        session_.messages().showMessage(std::string(host_.texts().leftKeyRequired),
                                        std::string(kWarningCaption));
        return;
    }
    if (!functionLists_[n])
        openFunctionList(index);
    listOpen_[n] = true;
    host_.redraw();
}

void AssignmentSection::openFunctionList(int index) {
    const Language language = host_.language();
    auto* list = new SkinListBox(&host_.face(), functionListRect(index),
                                 toList(optionListTexts(language).functions), kListColours,
                                 host_.smallFont());
    functionLists_[static_cast<std::size_t>(index)] = list;
    connect(list, &SkinListBox::hovered, this,
            [this, index](int row) { hoverFunctionEntry(index, row); });
    connect(list, &SkinListBox::chosen, this,
            [this, index](int row) { chooseFunction(index, row); });
}

void AssignmentSection::destroyFunctionList(int index) {
    auto& list = functionLists_[static_cast<std::size_t>(index)];
    if (list)
        list->discard();
    list = nullptr;
    // An option list belongs to the function list it opened from.
    destroyOptionLists();
    // The mouse view's light follows the open list.
    host_.redraw();
}

void AssignmentSection::destroyOptionLists() {
    for (auto& list : optionLists_) {
        if (list)
            list->discard();
        list = nullptr;
    }
}

bool AssignmentSection::anyFunctionList() const {
    return std::ranges::any_of(functionLists_, [](const auto& list) { return !list.isNull(); });
}

void AssignmentSection::closeListsOutside(QPoint position) {
    for (int index = 0; index < kButtonCount; ++index) {
        const auto n = static_cast<std::size_t>(index);
        if (!functionLists_[n])
            continue;
        if (functionLists_[n]->faceGeometry().contains(position) ||
            boxRect(index).contains(position))
            continue;
        destroyFunctionList(index);
        listOpen_[n] = false;
    }
}

void AssignmentSection::closeAllLists() {
    for (int index = 0; index < kButtonCount; ++index)
        destroyFunctionList(index);
    listOpen_.fill(false);
    destroyOptionLists();
}

void AssignmentSection::hoverFunctionEntry(int index, int row) {
    SkinListBox* list = functionList(index);
    if (!list || row < 0 || row >= kButtonFunctionCount)
        return;
    const auto option = optionListOf(static_cast<ButtonFunctionType>(row));
    for (OptionList other : kOptionLists) {
        if (other != option && optionLists_[slot(other)]) {
            optionLists_[slot(other)]->discard();
            optionLists_[slot(other)] = nullptr;
        }
    }
    if (option && !optionLists_[slot(*option)])
        openOptionList(*option, index, row);
}

void AssignmentSection::openOptionList(OptionList option, int index, int row) {
    SkinListBox* parent = functionList(index);
    const QRect placed = optionListRect(option, parent->faceGeometry(), parent->faceEntryRect(row));
    auto* list = new SkinListBox(&host_.face(), placed, optionEntries(option, host_.language()),
                                 kListColours, host_.smallFont());
    list->raise();
    optionLists_[slot(option)] = list;
    connect(list, &SkinListBox::chosen, this,
            [this, option](int position) { chooseOption(option, position); });
}

void AssignmentSection::chooseFunction(int index, int position) {
    if (index < 0 || index >= kButtonCount || position < 0 || position >= kButtonFunctionCount)
        return;
    const auto n = static_cast<std::size_t>(index);
    const auto type = static_cast<ButtonFunctionType>(position);
    const FunctionChoice choice = functionChoice(type);
    if (choice != FunctionChoice::OpensOptionList) {
        bool assigned = true;
        if (choice == FunctionChoice::StoredAtOnce) {
            session_.profile().labels()[n] =
                optionListTexts(host_.language()).functions[static_cast<std::size_t>(position)];
        } else {
            assigned = assignByDialog(index, type);
        }
        if (assigned)
            session_.state().record.buttonFunction[n] = static_cast<std::uint8_t>(position);
        destroyFunctionList(index);
    }
    setLook(index, BoxLook::Leave);
    listOpen_[n] = false;
    highlighted_[n] = true;
    host_.redraw();
}

bool AssignmentSection::runDialog(SkinnedDialog& dialog) {
    dialog.centreOver(&host_.face());
    EventLoopRunner modal;
    ModalRunner& runner = runner_ ? *runner_ : modal;
    return runner.run(dialog) == DialogResult::Ok;
}

bool AssignmentSection::assignByDialog(int index, ButtonFunctionType type) {
    const auto n = static_cast<std::size_t>(index);
    ConfigRecord& record = session_.state().record;
    std::string& label = session_.profile().labels()[n];
    const MainWindowTexts& texts = host_.texts();
    const Language language = host_.language();
    const QColor color = host_.face().textColor();

    switch (type) {
    case ButtonFunctionType::SingleKey: {
        SingleKeyDialog dialog(host_.face().sharedSkin(), session_.messages(), language, color);
        if (!runDialog(dialog))
            return false;
        record.buttonSingleKey[n] = keyNameToCode(dialog.keyName());
        label = singleKeyLabel(dialog.keyName(), texts.singleKey);
        return true;
    }
    case ButtonFunctionType::ComboKey: {
        KeyCombinationDialog dialog(host_.face().sharedSkin(), session_.messages(), language,
                                    color);
        if (!runDialog(dialog))
            return false;
        record.buttonComboModifiers[n] = modifierNameToBit(dialog.modifierName());
        record.buttonComboKey1[n] = keyNameToCode(dialog.key1Name());
        record.buttonComboKey2[n] = keyNameToCode(dialog.key2Name());
        label = comboKeyLabel(dialog.modifierName(), dialog.key1Name(), dialog.key2Name(),
                              texts.comboKey);
        return true;
    }
    case ButtonFunctionType::MacroKey: {
        std::optional<MacroKeyPreset> preset;
        if (record.buttonFunction[n] == static_cast<std::uint8_t>(ButtonFunctionType::MacroKey)) {
            preset = MacroKeyPreset{record.buttonMacroNumber[n], record.buttonMacroRepeat[n]};
        }
        MacroKeyDialog dialog(host_.face().sharedSkin(), session_.messages(), language, color,
                              session_.profiles()->macroKeyChoices(), preset);
        if (!runDialog(dialog))
            return false;
        record.buttonMacroNumber[n] = dialog.macroPosition();
        record.buttonMacroRepeat[n] = dialog.repeatMode();
        label = macroKeyLabel(dialog.macroName(), texts.macroKey);
        return true;
    }
    default:
        return false;
    }
}

void AssignmentSection::chooseOption(OptionList option, int position) {
    const auto owner =
        std::ranges::find_if(functionLists_, [](const auto& l) { return !l.isNull(); });
    if (owner == functionLists_.end())
        return;
    const int index = static_cast<int>(owner - functionLists_.begin());
    const auto n = static_cast<std::size_t>(index);
    const QStringList entries = optionEntries(option, host_.language());
    if (position < 0 || position >= entries.size())
        return;
    assignOption(session_.state().record, index, option, position);
    session_.profile().labels()[n] = entries[position].toStdString();
    setLook(index, BoxLook::Normal);
    destroyFunctionList(index);
    listOpen_[n] = false;
    highlighted_[n] = true;
    host_.redraw();
}

void AssignmentSection::setLook(int index, BoxLook look) {
    auto& current = looks_[static_cast<std::size_t>(index)];
    if (current != look) {
        current = look;
        host_.face().updateFace(boxRect(index));
    }
}

void AssignmentSection::pointerAt(std::optional<QPoint> position) {
    if (!isOpen())
        return;
    std::optional<int> over;
    for (int index = 0; position && index < kButtonCount; ++index) {
        if (boxRect(index).contains(*position))
            over = index;
    }
    if (over) {
        for (int index = 0; index < kButtonCount; ++index) {
            const auto n = static_cast<std::size_t>(index);
            if (index != *over && highlighted_[n]) {
                setLook(index, BoxLook::Normal);
                highlighted_[n] = false;
            }
        }
        setLook(*over, BoxLook::Over);
        highlighted_[static_cast<std::size_t>(*over)] = true;
        if (hoveredBox_ != over) {
            hoveredBox_ = over;
            host_.redraw();
        }
        return;
    }
    if (hoveredBox_) {
        hoveredBox_.reset();
        host_.redraw();
    }
    for (int index = 0; index < kButtonCount; ++index) {
        const auto n = static_cast<std::size_t>(index);
        if (functionLists_[n])
            continue;
        if (highlighted_[n]) {
            setLook(index, BoxLook::Normal);
            highlighted_[n] = false;
        }
    }
}

std::optional<int> AssignmentSection::mouseViewHighlight() const {
    for (int index = 0; index < kButtonCount; ++index) {
        if (functionLists_[static_cast<std::size_t>(index)])
            return index;
    }
    if (isOpen())
        return hoveredBox_;
    return std::nullopt;
}

QRect AssignmentSection::labelRoom(int index) const {
    // The box's right end holds the skin's arrow.
    constexpr int kArrowRoom = 16;
    return boxRect(index).adjusted(3, 0, -kArrowRoom, 0);
}

QFont AssignmentSection::labelFont(int index) const {
    const QString text =
        QString::fromStdString(session_.profile().labels()[static_cast<std::size_t>(index)]);
    return fittedFont(host_.smallFont(), text, labelRoom(index).width());
}

bool AssignmentSection::labelFits(int index) const {
    const QString text =
        QString::fromStdString(session_.profile().labels()[static_cast<std::size_t>(index)]);
    return QFontMetrics(labelFont(index)).horizontalAdvance(text) <= labelRoom(index).width();
}

void AssignmentSection::showLabelTip(QHelpEvent& event) {
    for (int index = 0; isOpen() && index < kButtonCount; ++index) {
        if (!boxRect(index).contains(host_.face().toFace(QPointF(event.pos()))) || labelFits(index))
            continue;
        QToolTip::showText(
            event.globalPos(),
            QString::fromStdString(session_.profile().labels()[static_cast<std::size_t>(index)]),
            &host_.face(), host_.face().toWidget(boxRect(index)));
        return;
    }
    QToolTip::hideText();
}

void AssignmentSection::applyFirstRunLabels() {
    RecordState& state = session_.state();
    if (state.firstRunFlag != 0)
        return;
    const auto defaults = defaultButtonLabels(host_.language());
    ProfileFiles& profile = session_.profile();
    for (std::size_t n = 0; n < defaults.size(); ++n)
        profile.labels()[n] = std::string(defaults[n]);
    // An import's labels belong to no file until a Save keeps the import.
    if (!(*session_.profiles()).holdsImport())
        profile.writeButtonLabels();
    // Once per loaded profile: later redraws must not take back labels the
    // user chose since. Loading the profile again reads the flag anew.
    state.firstRunFlag = 1;
    host_.redraw();
}

SkinListBox* AssignmentSection::functionList(int index) const {
    if (index < 0 || index >= kButtonCount)
        return nullptr;
    return functionLists_[static_cast<std::size_t>(index)];
}

SkinListBox* AssignmentSection::optionList(OptionList option) const {
    return optionLists_[slot(option)];
}

bool AssignmentSection::listOpen(int index) const {
    return index >= 0 && index < kButtonCount && listOpen_[static_cast<std::size_t>(index)];
}

AssignmentSection::BoxLook AssignmentSection::boxLook(int index) const {
    return looks_.at(static_cast<std::size_t>(index));
}

bool AssignmentSection::eventFilter(QObject* watched, QEvent* event) {
    if (watched == face_) {
        if (event->type() == QEvent::MouseMove)
            pointerAt(host_.face().toFace(static_cast<QMouseEvent*>(event)->position()));
        else if (event->type() == QEvent::Leave)
            pointerAt(std::nullopt);
        else if (event->type() == QEvent::ToolTip && host_.pageDrawn()) {
            showLabelTip(*static_cast<QHelpEvent*>(event));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void AssignmentSection::paintFace(QPainter& painter) {
    if (!host_.pageDrawn()) {
        if (const QString absence = absenceText(); !absence.isEmpty()) {
            // Plain and dimmed, unlike the headers around it: it is no control.
            const QRect room = LeftPanel::kAssignmentHeader.adjusted(6, 0, -6, 0);
            painter.setFont(fittedFont(host_.face().textFont(), absence, room.width()));
            QColor dimmed = host_.face().textColor();
            dimmed.setAlphaF(0.6f);
            painter.setPen(dimmed);
            drawLabel(painter, room, Qt::AlignCenter | Qt::TextSingleLine, absence);
        }
        return;
    }
    paintMouseView(painter);
    SkinImageCache& skin = host_.face().skin();
    const QRect header = LeftPanel::kAssignmentHeader;
    skin.draw(painter, "/ItemBK.png", header.topLeft());
    painter.setFont(host_.face().textFont());
    painter.setPen(host_.face().textColor());
    drawLabel(painter, header.adjusted(12, 0, 0, 0),
              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
              qstr(host_.texts().buttonAssignment));
    if (!isOpen())
        return;
    skin.draw(painter, "/ButtonAssignment/BK_ButtonAssignment.png", kBodyAt);
    // The label keeps left of the box's arrow, a step smaller when it is
    // long, and shortened only when even that fails (its tooltip has it all).
    const auto& titles = host_.texts().buttonTitles;
    for (int index = 0; index < kButtonCount; ++index) {
        const auto n = static_cast<std::size_t>(index);
        painter.setFont(host_.smallFont());
        drawLabel(painter, rowTitleRect(index), Qt::AlignCenter | Qt::TextSingleLine,
                  qstr(titles[n]));
        skin.draw(painter, boxImage(looks_[n]), boxRect(index).topLeft());
        const QRect room = labelRoom(index);
        const QString text = QString::fromStdString(session_.profile().labels()[n]);
        painter.setFont(labelFont(index));
        const QString label = painter.fontMetrics().elidedText(text, Qt::ElideRight, room.width());
        drawLabel(painter, room, Qt::AlignCenter | Qt::TextSingleLine, label);
    }
}

void AssignmentSection::paintMouseView(QPainter& painter) {
    const bool front = host_.mouseView() == MouseView::Front;
    const std::optional<int> lit = mouseViewHighlight();
    for (int index = 0; index < kButtonCount; ++index) {
        const auto n = static_cast<std::size_t>(index);
        const skin::Point at = front ? skin::kFrontButtonAt[n] : skin::kSideButtonAt[n];
        const QString name = QStringLiteral("/Mouse/%1/%2-%3-%4.png")
                                 .arg(front ? "Front" : "Side", front ? "F" : "S")
                                 .arg(index + 1)
                                 .arg(lit == index ? "over" : "normal");
        host_.face().skin().draw(painter, name, QPoint(at.x, at.y));
    }
    // The callout circles carry the buttons' numbers, as the rows do.
    QFont font = host_.smallFont();
    font.setBold(true);
    painter.setFont(font);
    for (int index = 0; index < kButtonCount; ++index) {
        const auto n = static_cast<std::size_t>(index);
        const skin::Point centre = front ? skin::kFrontCalloutAt[n] : skin::kSideCalloutAt[n];
        const int r = skin::kCalloutRadius;
        painter.setPen(lit == index ? QColor(Qt::white) : host_.face().textColor());
        drawLabel(painter, QRect(centre.x - r, centre.y - r, 2 * r + 1, 2 * r + 1),
                  Qt::AlignCenter | Qt::TextSingleLine, QString::number(index + 1));
    }
}

void AssignmentSection::closePopups() {
    closeAllLists();
}

void AssignmentSection::profileDrawn() {
    closeAllLists();
    applyFirstRunLabels();
}

AssignmentSection& installAssignmentSection(PageHost& host, UserSession& session) {
    auto* section = new AssignmentSection(host, session);
    host.addPage(*section);
    return *section;
}

} // namespace qvr
