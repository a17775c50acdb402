#include "app/status_card.h"

#include "app/main_window.h"
#include "app/profile_session.h"
#include "config/profile_list.h"
#include "ui/label_text.h"
#include "ui/qt_fonts.h"
#include "ui/skin_layout.h"

#include <QElapsedTimer>
#include <QPainter>
#include <algorithm>
#include <array>
#include <memory>

namespace qvr {
namespace {

struct StatusTexts {
    const char* device;
    const char* connected;
    const char* absent;
    const char* profile;
};

// English, Simplified Chinese, Traditional Chinese.
constexpr std::array<StatusTexts, 3> kStatusTexts{{
    {"Gaming mouse", "Connected", "Not connected", "Profile"},
    {"游戏鼠标", "已连接", "未连接", "配置"},
    {"遊戲滑鼠", "已連接", "未連接", "配置"},
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

// The profile's name lives in "str.ini"; painting reads it at most once a
// second rather than at every hover repaint.
class ProfileName {
  public:
    QString of(CMavloDlg& window) {
        const int index = window.profile().currentProfileIndex();
        if (index != index_ || !age_.isValid() || age_.elapsed() > 1000) {
            index_ = index;
            age_.start();
            const auto names = readProfileList(window.profile().globalSettingsPath()).names;
            name_ = index >= 0 && index < static_cast<int>(names.size())
                        ? QString::fromStdString(names[static_cast<std::size_t>(index)])
                        : QString();
            if (name_.isEmpty())
                name_ = QString::number(index + 1);
        }
        return name_;
    }

  private:
    int index_ = -1;
    QElapsedTimer age_;
    QString name_;
};

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

void installStatusCard(CMavloDlg& window) {
    auto name = std::make_shared<ProfileName>();
    window.addFacePainter([&window, name](QPainter& painter) {
        const StatusTexts& texts = textsFor(window.language());
        const skin::Rect area = skin::kStatusText;
        const QRect rect(area.left, area.top, area.right - area.left, area.bottom - area.top);
        const int line = rect.height() / 3;
        painter.save();
        painter.setFont(window.textFont());
        painter.setPen(window.textColor());
        drawLabel(painter, rect.adjusted(0, 0, 0, -2 * line), Qt::AlignLeft | Qt::AlignVCenter,
                  QString::fromUtf8(texts.device));
        const QRect second = rect.adjusted(0, line, 0, -line);
        if (!drawSaveProgress(painter, window, second)) {
            const bool present = window.link().devicePresent == 1;
            painter.setPen(present ? kConnected : kAbsent);
            drawLabel(painter, second, Qt::AlignLeft | Qt::AlignVCenter,
                      QString::fromUtf8(present ? texts.connected : texts.absent));
        }
        painter.setPen(window.textColor());
        QString profile = QString::fromUtf8(texts.profile) + ": " + name->of(window);
        if (window.profileSession().hasUnsavedChanges())
            profile += QString(" (%1)").arg(qstr(profileFileTexts(window.language()).changedMark));
        drawLabel(painter, rect.adjusted(0, 2 * line, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                  profile);
        painter.restore();
    });
}

} // namespace qvr
