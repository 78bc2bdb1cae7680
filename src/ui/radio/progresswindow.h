#pragma once

#include "core/comm/session.h"
#include <QDialog>

class QLabel;
class QProgressBar;

// Progress of a read, a write or the verify that follows a write. The session opens it and closes
// it; closing it by hand (close button, Alt+F4, Esc) gives up the transfer, a write only after
// the user confirms it, and says what the radio and the configuration hold afterwards.
class ProgressWindow : public QDialog {
    Q_OBJECT
  public:
    ProgressWindow(RadioSession& session, RadioOperation operation, QWidget* parent = nullptr);

    // Bar and percentage label.
    void setProgress(int percent);
    RadioOperation operation() const { return m_operation; }

  protected:
    void reject() override;

  private:
    void retranslate();
    void adjustProgressLayout();
    void closeAfterSession();

    RadioSession& m_session;
    RadioOperation m_operation;
    bool m_sessionEnded = false;
    bool m_asking = false; // the question whether to stop a write is open
    QLabel* m_captionLabel;
    QLabel* m_percentLabel;
    QProgressBar* m_progressBar;
};
