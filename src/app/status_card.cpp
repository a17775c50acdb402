#include "app/status_card.h"

#include "app/main_window.h"
#include "app/profile_session.h"
#include "config/profile_list.h"
#include "ui/label_text.h"
#include "ui/qt_fonts.h"
#include "ui/skin_layout.h"

#include <QPainter>
#include <algorithm>
#include <array>

namespace qvr {
namespace {

struct StatusTexts {
    const char* device;
    const char* connected;
    const char* absent;
    const char* profile;
    const char* searching; // the start-up search is under way
    const char* noAnswer;  // ... and has taken far longer than it should
};

// English, Simplified Chinese, Traditional Chinese.
constexpr std::array<StatusTexts, 3> kStatusTexts{{
    {"Gaming mouse", "Connected", "Not connected", "Profile", "Looking for the mouse…",
     "The mouse does not answer"},
    {"游戏鼠标", "已连接", "未连接", "配置", "正在查找鼠标…", "鼠标没有响应"},
    {"遊戲滑鼠", "已連接", "未連接", "配置", "正在尋找滑鼠…", "滑鼠沒有回應"},
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

// The upload's bar and the outcome of the last Save take the connection
// line while they last. False when there is nothing to show.
bool drawSaveProgress(QPainter& painter, CMavloDlg& window, QRect line) {
    const SaveProgress& progress = window.saveProgress();
    const SaveProgressTexts& texts = saveProgressTexts(window.language());
    using Phase = SaveProgress::Phase;
    switch (progress.phase) {
    case Phase::Idle:
        return false;
    case Phase::Uploading: {
        painter.setPen(window.textColor());
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

StatusCard::StatusCard(CMavloDlg& window) : QObject(&window), window_(window) {}

QString StatusCard::profileName() {
    // Read at most once a second rather than at every hover repaint.
    const int index = window_.profile().currentProfileIndex();
    if (index != nameIndex_ || !nameAge_.isValid() || nameAge_.elapsed() > 1000) {
        nameIndex_ = index;
        nameAge_.start();
        const auto names = readProfileList(window_.profile().globalSettingsPath()).names;
        name_ = index >= 0 && index < static_cast<int>(names.size())
                    ? QString::fromStdString(names[static_cast<std::size_t>(index)])
                    : QString();
        if (name_.isEmpty())
            name_ = QString::number(index + 1);
    }
    return name_;
}

QString StatusCard::connectionText() const {
    // Until the start-up search answers, the mouse is neither connected nor
    // absent.
    const StatusTexts& texts = textsFor(window_.language());
    switch (window_.startUpSearch()) {
    case StartUpSearch::Searching:
        return QString::fromUtf8(texts.searching);
    case StartUpSearch::NoAnswer:
        return QString::fromUtf8(texts.noAnswer);
    case StartUpSearch::Answered:
        break;
    }
    return QString::fromUtf8(window_.link().devicePresent == 1 ? texts.connected : texts.absent);
}

void StatusCard::paintFace(QPainter& painter) {
    const StatusTexts& texts = textsFor(window_.language());
    const skin::Rect area = skin::kStatusText;
    const QRect rect(area.left, area.top, area.right - area.left, area.bottom - area.top);
    const int line = rect.height() / 3;
    painter.save();
    painter.setFont(window_.textFont());
    painter.setPen(window_.textColor());
    drawLabel(painter, rect.adjusted(0, 0, 0, -2 * line), Qt::AlignLeft | Qt::AlignVCenter,
              QString::fromUtf8(texts.device));
    const QRect second = rect.adjusted(0, line, 0, -line);
    if (!drawSaveProgress(painter, window_, second)) {
        const StartUpSearch search = window_.startUpSearch();
        const bool present = window_.link().devicePresent == 1;
        painter.setPen(search == StartUpSearch::Searching             ? window_.textColor()
                       : search == StartUpSearch::Answered && present ? kConnected
                                                                      : kAbsent);
        drawLabel(painter, second, Qt::AlignLeft | Qt::AlignVCenter, connectionText());
    }
    painter.setPen(window_.textColor());
    QString profile = QString::fromUtf8(texts.profile) + ": " + profileName();
    if (window_.profileSession().hasUnsavedChanges())
        profile += QString(" (%1)").arg(qstr(profileFileTexts(window_.language()).changedMark));
    drawLabel(painter, rect.adjusted(0, 2 * line, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, profile);
    painter.restore();
}

void installStatusCard(CMavloDlg& window) {
    window.addPage(*new StatusCard(window));
}

} // namespace qvr
