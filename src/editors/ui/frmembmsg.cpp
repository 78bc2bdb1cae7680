#include "frmembmsg.h"

FrmEmbMsg::FrmEmbMsg(Document& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FrmEmbMsg"));
}
bool FrmEmbMsg::validateEdits() { return true; }
