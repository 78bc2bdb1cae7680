#pragma once

#include "comm/localinfo.h"
#include "config/document.h"
#include <QDialog>

class FrmEMG : public QDialog {
    Q_OBJECT
public:
    FrmEMG(const Document& doc, const LocalInformation& info, QWidget* parent = nullptr);

};
