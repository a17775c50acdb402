#include "gui/window/status_card.h"

#include "core/layout/skin_layout.h"
#include "core/profiles/profile_list.h"
#include "gui/session/profile_session.h"
#include "gui/session/user_session.h"
#include "gui/widgets/face_accessible.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skinned_window.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <array>

namespace qvr {
namespace {

struct StatusTexts {
    const char* device;
    const char* connected;
    const char* absent;
    const char* profile;
    const char* dpiStage;  // "%1": the stage the mouse is at, 1..6
    const char* searching; // the start-up search is under way
    const char* noAnswer;  // ... and has taken far longer than it should
};

// English, Simplified Chinese, Traditional Chinese.
constexpr std::array<StatusTexts, 3> kStatusTexts{{
    {"Gaming mouse", "Connected", "Not connected", "Profile", "DPI stage %1",
     "Looking for the mouse…", "The mouse does not answer"},
    {"游戏鼠标", "已连接", "未连接", "配置", "DPI 第%1段", "正在查找鼠标…", "鼠标没有响应"},
    {"遊戲滑鼠", "已連接", "未連接", "配置", "DPI 第%1段", "正在尋找滑鼠…", "滑鼠沒有回應"},
}};

const StatusTexts& textsFor(Language language) {
    switch (language) {
    case Language::SimplifiedChinese:
        return kStatusTexts[1];
    case Language::TraditionalChinese:
        return kStatusTexts[2];
    default:
        return kStatusTexts[0];
    }
}

const QColor kConnected(0x19, 0xc3, 0xff);
const QColor kAbsent(0xe0, 0x6c, 0x5c);

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The outcome of the last Save or the upload under way; empty when there is
// nothing to tell.
QString saveProgressText(PageHost& window, const SaveProgress& progress) {
    const SaveProgressTexts& texts = saveProgressTexts(window.language());
    using Phase = SaveProgress::Phase;
    switch (progress.phase) {
    case Phase::Idle:
        return {};
    case Phase::Uploading:
        return qtext(texts.saving);
    case Phase::Saved:
        return qtext(texts.saved);
    case Phase::NotReceived:
        return qtext(texts.notReceived);
    case Phase::NotWritten:
        return qtext(texts.notWritten);
    }
    return {};
}

// The upload's bar and the outcome of the last Save take the connection
// line while they last. False when there is nothing to show.
bool drawSaveProgress(QPainter& painter, PageHost& window, const SaveProgress& progress,
                      QRect line) {
    const SaveProgressTexts& texts = saveProgressTexts(window.language());
    using Phase = SaveProgress::Phase;
    switch (progress.phase) {
    case Phase::Idle:
        return false;
    case Phase::Uploading: {
        painter.setPen(window.face().textColor());
        const QRect label = line.adjusted(0, 0, -line.width() / 2, 0);
        drawLabel(painter, label, Qt::AlignLeft | Qt::AlignVCenter, qtext(texts.saving));
        const int height = std::max(4, line.height() / 3);
        const QRect bar(label.right() + 4, line.center().y() - height / 2,
                        line.right() - label.right() - 4, height);
        painter.setPen(kConnected);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(bar.adjusted(0, 0, -1, -1));
        if (progress.total > 0) {
            const int filled =
                bar.width() * std::clamp(progress.done, 0, progress.total) / progress.total;
            painter.fillRect(QRect(bar.left(), bar.top(), filled, bar.height()), kConnected);
        }
        return true;
    }
    case Phase::Saved:
        painter.setPen(kConnected);
        drawLabel(painter, line, Qt::AlignLeft | Qt::AlignVCenter, qtext(texts.saved));
        return true;
    case Phase::NotReceived:
    case Phase::NotWritten:
        painter.setPen(kAbsent);
        drawLabel(
            painter, line, Qt::AlignLeft | Qt::AlignVCenter,
            qtext(progress.phase == Phase::NotReceived ? texts.notReceived : texts.notWritten));
        return true;
    }
    return false;
}

} // namespace

StatusCard::StatusCard(PageHost& host, UserSession& session)
    : QObject(&host.face()), host_(host), face_(&host.face()), session_(session) {
    host.face().installEventFilter(this);
    for (int line = 0; line < 3; ++line)
        addAccessibleFaceText(host.face(), {.rect = [line] { return lineRect(line); },
                                            .text = [this, line] { return lineText(line); }});
}

QRect StatusCard::lineRect(int line) {
    const skin::Rect area = skin::kStatusText;
    const QRect rect(area.left, area.top, area.right - area.left, area.bottom - area.top);
    const int height = rect.height() / 3;
    return line < 2 ? QRect(rect.left(), rect.top() + line * height, rect.width(), height)
                    : rect.adjusted(0, 2 * height, 0, 0);
}

QString StatusCard::lineText(int line) {
    const StatusTexts& texts = textsFor(host_.language());
    switch (line) {
    case 0:
        return QString::fromUtf8(texts.device);
    case 1: {
        const QString progress = saveProgressText(host_, session_.saveProgress());
        if (!progress.isEmpty())
            return progress;
        // Until the start-up search answers, the mouse is neither connected
        // nor absent.
        if (session_.startUpSearch() == StartUpSearch::Searching)
            return QString::fromUtf8(texts.searching);
        if (session_.startUpSearch() == StartUpSearch::NoAnswer)
            return QString::fromUtf8(texts.noAnswer);
        if (!session_.mousePresent())
            return QString::fromUtf8(texts.absent);
        QString connected = QString::fromUtf8(texts.connected);
        // Where the mouse's own buttons have put it.
        if (const auto stage = session_.activeDpiStage())
            connected += QStringLiteral(" · ") + QString::fromUtf8(texts.dpiStage).arg(*stage);
        return connected;
    }
    default:
        return profileLine().whole();
    }
}

StatusCard::ProfileLine StatusCard::profileLine() {
    ProfileLine line;
    line.before = QString::fromUtf8(textsFor(host_.language()).profile) + ": ";
    line.name = profileName();
    if ((*session_.profiles()).hasUnsavedChanges())
        line.after = QString(" (%1)").arg(qstr(profileFileTexts(host_.language()).changedMark));
    return line;
}

bool StatusCard::profileLineElided() {
    return QFontMetrics(host_.face().textFont()).horizontalAdvance(profileLine().whole()) >
           lineRect(2).width();
}

bool StatusCard::eventFilter(QObject* watched, QEvent* event) {
    // The whole profile line, where the card had to shorten it.
    if (watched == face_ && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (lineRect(2).contains(help->pos()) && profileLineElided()) {
            QToolTip::showText(help->globalPos(), profileLine().whole(), &host_.face(),
                               lineRect(2));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

QString StatusCard::profileName() {
    // Read at most once a second rather than at every hover repaint.
    const int index = session_.profile().currentProfileIndex();
    if (index != nameIndex_ || !nameAge_.isValid() || nameAge_.elapsed() > 1000) {
        nameIndex_ = index;
        nameAge_.start();
        const auto names = readProfileList(session_.profile().globalSettingsPath()).names;
        name_ = index >= 0 && index < static_cast<int>(names.size())
                    ? QString::fromStdString(names[static_cast<std::size_t>(index)])
                    : QString();
        if (name_.isEmpty())
            name_ = QString::number(index + 1);
    }
    return name_;
}

void StatusCard::paintFace(QPainter& painter) {
    painter.save();
    painter.setFont(host_.face().textFont());
    painter.setPen(host_.face().textColor());
    drawLabel(painter, lineRect(0), Qt::AlignLeft | Qt::AlignVCenter, lineText(0));
    if (!drawSaveProgress(painter, host_, session_.saveProgress(), lineRect(1))) {
        const StartUpSearch search = session_.startUpSearch();
        const bool present = session_.mousePresent();
        painter.setPen(search == StartUpSearch::Searching             ? host_.face().textColor()
                       : search == StartUpSearch::Answered && present ? kConnected
                                                                      : kAbsent);
        drawLabel(painter, lineRect(1), Qt::AlignLeft | Qt::AlignVCenter, lineText(1));
    }
    painter.setPen(host_.face().textColor());
    // A name of any length: its middle gives way, so that its start and
    // end and the changed mark stay in sight.
    const ProfileLine profile = profileLine();
    drawElidedLabel(painter, lineRect(2), Qt::AlignLeft | Qt::AlignVCenter, profile.before,
                    profile.name, profile.after);
    painter.restore();
}

void installStatusCard(PageHost& host, UserSession& session) {
    host.addPage(*new StatusCard(host, session));
}

} // namespace qvr
