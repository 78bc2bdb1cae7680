#pragma once

#include "config/document.h"
#include <QWidget>

class FrmEmbMsg : public QWidget {
    Q_OBJECT
public:
    explicit FrmEmbMsg(Document& doc, QWidget* parent = nullptr);
    bool validateEdits();

private:
    Document& m_doc;
};
