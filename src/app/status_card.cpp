#include "app/status_card.h"

#include "app/main_window.h"
#include "app/profile_session.h"
#include "config/profile_list.h"
#include "ui/label_text.h"
#include "ui/qt_fonts.h"
#include "ui/skin_layout.h"

#include <QElapsedTimer>
#include <QPainter>
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
        const bool present = window.link().devicePresent == 1;
        painter.setPen(present ? kConnected : kAbsent);
        drawLabel(painter, rect.adjusted(0, line, 0, -line), Qt::AlignLeft | Qt::AlignVCenter,
                  QString::fromUtf8(present ? texts.connected : texts.absent));
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
