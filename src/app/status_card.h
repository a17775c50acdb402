#pragma once

#include "app/window_page.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

namespace qvr {

class CMavloDlg;

// The card at the top of the left panel: whether the mouse is connected and
// which profile is current, so the user sees at a glance what Save acts on.
// Owned by the window.
class StatusCard : public QObject, public WindowPage {
    Q_OBJECT

  public:
    explicit StatusCard(CMavloDlg& window);

    void paintFace(QPainter& painter) override;
    // The connection line as it stands when no Save has anything to show.
    QString connectionText() const;

  private:
    // The profile's name lives in "str.ini".
    QString profileName();

    CMavloDlg& window_;
    int nameIndex_ = -1;
    QElapsedTimer nameAge_;
    QString name_;
};

void installStatusCard(CMavloDlg& window);

} // namespace qvr
