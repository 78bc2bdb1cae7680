#include "frmemg.h"

FrmEMG::FrmEMG(const Document&, const LocalInformation&, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmEMG"));
}
