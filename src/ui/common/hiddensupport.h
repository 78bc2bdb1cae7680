#pragma once

#include <QString>
#include <QValidator>

class QComboBox;
class QEvent;
class QPushButton;
class QVBoxLayout;
class QWidget;

// Helpers of the key assignment, scan, DTMF, FleetSync and test-frequency editors.

// Closes an editor window: its MDI frame when it has one, else the window itself.
void closeEditorWindow(QWidget* window);

// The window's close button ("CommandClose") at the bottom right of its layout.
QPushButton* addCloseRow(QWidget* window, QVBoxLayout* layout);

// Selects entry index of a list; a stored value that has no entry shows no selection.
void showListIndex(QComboBox* list, int index);

// How the common key rule of the editors' text boxes treats a key event: the clipboard keys
// (Ctrl+X, Ctrl+C, Ctrl+V and the platform's cut, copy and paste keys) and characters above
// 127 are swallowed; Enter is handed to the box's owner, which moves on as Tab would.
enum class BoxKey { Other, Swallow, Enter };
BoxKey classifyBoxKey(QEvent* event);

// Keeps only the characters of a set in a box, whichever way they arrive (typed, pasted with
// the middle button, dropped, from an input method). Lower-case letters whose capital is in
// the set become that capital.
class CharsetValidator : public QValidator {
  public:
    CharsetValidator(const QString& allowed, QObject* parent);
    State validate(QString& input, int& pos) const override;

  private:
    QString m_allowed;
};

// The DTMF characters a code may hold.
inline QString dtmfCharacters() {
    return QStringLiteral("0123456789ABCD*#");
}
