#include "frmoptfeatures.h"

FrmOptFeatures::FrmOptFeatures(Document& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FrmOptFeatures"));
}
void FrmOptFeatures::ReShowData() {}
bool FrmOptFeatures::validateEdits() { return true; }
