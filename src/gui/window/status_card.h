#pragma once

#include "gui/widgets/window_page.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

namespace qvr {

class PageHost;
class UserSession;

// The card at the top of the left panel: whether the mouse is connected and
// which profile is current, so the user sees at a glance what Save acts on.
// Owned by the window.
class StatusCard : public QObject, public WindowPage {
    Q_OBJECT

  public:
    StatusCard(PageHost& host, UserSession& session);

    void paintFace(QPainter& painter) override;

    // The card's three lines: the device, its connection (or the Save under
    // way), the profile; each in full, as screen readers get them.
    static QRect lineRect(int line);
    QString lineText(int line);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The profile's name lives in "str.ini".
    QString profileName();
    // "Profile: ", the name, and the changed mark when there is one.
    struct ProfileLine {
        QString before, name, after;
        QString whole() const { return before + name + after; }
    };
    ProfileLine profileLine();
    bool profileLineElided();

    PageHost& host_;
    // The window whose events the page filters; kept, since the host is
    // no longer one while the window is being destroyed.
    QObject* const face_;
    UserSession& session_;
    int nameIndex_ = -1;
    QElapsedTimer nameAge_;
    QString name_;
};

void installStatusCard(PageHost& host, UserSession& session);

} // namespace qvr
