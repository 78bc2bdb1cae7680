#pragma once

#include "core/comm/session.h"
#include <QDialog>

class QLabel;
class QProgressBar;

// Progress of a read or write. The session opens it and closes it; closing it by hand (close
// button, Esc) gives up the transfer.
class ProgressWindow : public QDialog {
    Q_OBJECT
  public:
    ProgressWindow(RadioSession& session, RadioOperation commType, QWidget* parent = nullptr);

    // Bar and percentage label.
    void SetProgressValue(int percent);
    RadioOperation commType() const { return m_commType; }

  protected:
    void reject() override;

  private:
    void ProgressChangShowByLanguage();
    void ProgressjustSize();
    void sessionEnded();

    RadioSession& m_session;
    RadioOperation m_commType;
    bool m_sessionEnded = false;
    QLabel* Label1;
    QLabel* Label2;
    QProgressBar* ProgressBar1;
};
