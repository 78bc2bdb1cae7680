#pragma once

#include "comm/session.h"
#include <QDialog>

class FrmRadioInfoSet : public QDialog {
    Q_OBJECT
public:
    FrmRadioInfoSet(Document& doc, RadioSession& session, QWidget* parent = nullptr);

private:
    Document& m_doc;
    RadioSession& m_session;
};
