#pragma once

#include <QDialog>
#include <QStringList>

// What a write would change: every difference between the radio and the open configuration,
// a line each in the words of the configuration diff (the radio's value first), and the count
// in the title. Write to Radio asks for the write (with its usual question and checks); Close,
// Esc and Enter write nothing.
class CompareWindow : public QDialog {
    Q_OBJECT
  public:
    explicit CompareWindow(const QStringList& differences, QWidget* parent = nullptr);

  signals:
    void writeRequested();
};
