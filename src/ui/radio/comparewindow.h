#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

// What a write would change: every difference between the radio and the open configuration,
// a line each in the words of the configuration diff (the radio's value first). Write to Radio
// asks for the write (with its usual question and checks); Close writes nothing.
class CompareWindow : public QDialog {
    Q_OBJECT
  public:
    explicit CompareWindow(const QStringList& differences, QWidget* parent = nullptr);

    // "Compare with Radio (3 differences)"; the count names how many lines there are.
    static QString titleFor(qsizetype count);

  signals:
    void writeRequested();

  private:
    QLabel* m_summary;
    QListWidget* m_list;
    QPushButton* m_writeButton;
    QPushButton* m_closeButton;
};
