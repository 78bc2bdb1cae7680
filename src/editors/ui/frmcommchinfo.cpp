#include "frmcommchinfo.h"

frmCommChInfo::frmCommChInfo(Document& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("frmCommChInfo"));
}
bool frmCommChInfo::validateEdits() { return true; }
