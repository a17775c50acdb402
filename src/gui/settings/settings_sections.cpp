#include "gui/settings/settings_sections.h"

#include "core/layout/skin_layout.h"
#include "core/record/config_record.h"
#include "gui/settings/angle_snap_section.h"
#include "gui/settings/dpi_section.h"
#include "gui/settings/gauge_section.h"
#include "gui/settings/lighting_section.h"
#include "gui/settings/report_rate_section.h"
#include "gui/settings/scroll_speed_section.h"
#include "gui/settings/section_painting.h"
#include "gui/settings/xy_sensitivity_section.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/scroll_thumb.h"
#include "gui/widgets/skinned_window.h"

#include <QPainter>
#include <QWheelEvent>

namespace qvr {
namespace {

using enum RightSection;

// A right-panel section's title, as its header shows it.
QString sectionTitle(const MainWindowTexts& texts, int section) {
    const std::array<std::string_view, kRightSectionCount> titles = {
        texts.dpiSetting,       texts.lighting,    texts.reportRate, texts.mouseSpeed,
        texts.doubleClickSpeed, texts.scrollSpeed, texts.angleSnap};
    return qstr(titles[static_cast<std::size_t>(section)]);
}

} // namespace

SettingsSections::SettingsSections(PageHost& host, UserSession& session, ColourDialog& colours,
                                   ElementOwner& page)
    : QObject(&host.face()), host_(host), face_(&host.face()) {
    ElementTable& table = host_.face().elements();
    for (int s = 0; s < kRightSectionCount; ++s) {
        headerIds_[static_cast<std::size_t>(s)] = headers_.add(
            table, page,
            {.stage = ClickStage::Sections,
             .onHit = OnHit::Continue,
             .active = [this, s] { return layout_[static_cast<std::size_t>(s)].visible; },
             .name = [this, s] { return sectionTitle(host_.texts(), s); },
             .role = ElementRole::SectionHeader},
            [this, s](QPoint) { toggle(static_cast<RightSection>(s)); });
    }
    // The left panel's header stops the dispatch, as the other left-panel
    // headers do.
    headers_.add(table, page,
                 {.stage = ClickStage::PanelButtons,
                  .follow = [this] { return xyHeaderRect(); },
                  .name = [this] { return qstr(host_.texts().sensitivitySetting); },
                  .role = ElementRole::SectionHeader},
                 [this](QPoint) { toggleXY(); });

    const SectionContext context{host, session, page};
    xy_ = std::make_unique<XYSensitivitySection>(context);
    auto dpi = std::make_unique<DpiSection>(context, colours);
    dpi_ = dpi.get();
    sections_[index(DpiSetting)] = std::move(dpi);
    sections_[index(Lighting)] = std::make_unique<LightingSection>(context);
    sections_[index(ReportRate)] = std::make_unique<ReportRateSection>(context);
    sections_[index(MouseSpeed)] = std::make_unique<GaugeSection>(
        context, &ConfigRecord::pointerSpeed, &PointerChanges::speed, &MainWindowTexts::mouseSpeed);
    sections_[index(DoubleClickSpeed)] = std::make_unique<GaugeSection>(
        context, &ConfigRecord::doubleClickSpeed, &PointerChanges::doubleClick,
        &MainWindowTexts::doubleClickSpeed);
    auto scroll = std::make_unique<ScrollSpeedSection>(context);
    scroll_ = scroll.get();
    sections_[index(ScrollSpeed)] = std::move(scroll);
    sections_[index(AngleSnap)] = std::make_unique<AngleSnapSection>(context);

    relayout();
    host.face().installEventFilter(this);
}

SettingsSections::~SettingsSections() = default;

QLineEdit* SettingsSections::dpiEdit(int stage) const {
    return dpi_->edit(stage);
}

QLineEdit* SettingsSections::rowsEdit() const {
    return scroll_->edit();
}

void SettingsSections::press(ElementTable::Id id, QPoint at) {
    if (headers_.press(id, at) || xy_->press(id, at))
        return;
    for (const auto& each : sections_)
        if (each->press(id, at))
            return;
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
    return xy_->origin();
}

void SettingsSections::placeElements() {
    ElementTable& table = host_.face().elements();
    for (int s = 0; s < kRightSectionCount; ++s) {
        const auto which = static_cast<RightSection>(s);
        table.setRect(headerIds_[static_cast<std::size_t>(s)], headerRect(which));
        section(s).place(bodyOrigin(which), isOpen(which) && isVisible(which));
    }
    xy_->place(xyBodyOrigin(), host_.leftPanel().xyOpen);
}

void SettingsSections::updateEdits() {
    for (const auto& each : sections_)
        each->updateEdits();
}

void SettingsSections::relayout() {
    layout_ = layOutRightPanel(open_, position_);
    placeElements();
    updateEdits();
}

void SettingsSections::languageChanged() {
    for (const auto& each : sections_)
        each->languageChanged();
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
    ScrollThumb* thumb = host_.scrollThumb();
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
    for (const auto& each : sections_)
        each->dropTyping();
    relayout();
    redraw();
}

void SettingsSections::redraw() {
    host_.redraw();
}

void SettingsSections::paint(QPainter& painter) {
    // The assignment section may have moved the X/Y section since the last
    // paint; its rectangles follow before the next click.
    placeElements();
    updateEdits();

    const MainWindowTexts& texts = host_.texts();
    paintSectionHeader(painter, host_.face(), xyHeaderRect(), qstr(texts.sensitivitySetting));
    if (host_.leftPanel().xyOpen)
        xy_->paint(painter, xyBodyOrigin());

    for (int s = 0; s < kRightSectionCount; ++s) {
        const auto which = static_cast<RightSection>(s);
        if (!isVisible(which))
            continue;
        paintSectionHeader(painter, host_.face(), headerRect(which), sectionTitle(texts, s));
        if (isOpen(which))
            section(s).paint(painter, bodyOrigin(which));
    }
}

} // namespace qvr
