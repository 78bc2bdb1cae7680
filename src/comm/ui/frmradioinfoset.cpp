#include "frmradioinfoset.h"

FrmRadioInfoSet::FrmRadioInfoSet(Document& doc, RadioSession& session, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_session(session) {
    setObjectName(QStringLiteral("FrmRadioInfoSet"));
}
