#pragma once

#include "comm/session.h"
#include <QDialog>

class FrmProgress : public QDialog {
    Q_OBJECT
public:
    FrmProgress(RadioSession& session, int commType, QWidget* parent = nullptr);
    void SetProgressValue(int percent);

private:
    RadioSession& m_session;
};
