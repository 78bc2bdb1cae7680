#pragma once

#include "core/config/messages.h"

#include <QString>

class QWidget;

// Window helpers shared by every window of the program.

// Geometry is given in twips (1/1440 inch): pixels through the screen's logical DPI.
int twipsToPixelsX(int twips);
int twipsToPixelsY(int twips);
int pixelsToTwipsX(int pixels);
int pixelsToTwipsY(int pixels);

// General captions, in the current language.
namespace Caption {
QString close();  // "&Close" / "关闭(&C)"
QString print();  // "&Print" / "打印(&R)"
QString help();   // "&Help" / "帮助(&H)"
QString ok();     // "&OK" / "确定(&O)"
QString cancel(); // "&Cancel" / "取消(&C)"
} // namespace Caption

// Sets the captions of the window's buttons named "CommandClose" and "CommandHelp" (each
// when present) to the Close and Help texts.
void captionCloseAndHelp(QWidget* window);

// Right mouse button presses on w are swallowed and it offers no context menu.
void suppressRightClick(QWidget* w);
void restoreRightClick(QWidget* w);

// Two upper-case hexadecimal digits of a byte.
QString hexByte(int value);

// The message service of the program's windows: a QMessageBox for every request.
// It stands centred over the window that owns it and is wide enough for its title.
class WidgetMessageService : public MessageService {
  public:
    MsgAnswer ask(const MessageRequest& request) override;

    // The window a message stands over: the modal window asking, else the main window.
    static QWidget* ownerWindow();
    // The narrowest a box titled so may be.
    static int minimumWidth(const QWidget& box, const QString& title);
};
