#pragma once

#include "config/document.h"
#include <QWidget>

class FrmOptFeatures : public QWidget {
    Q_OBJECT
public:
    explicit FrmOptFeatures(Document& doc, QWidget* parent = nullptr);
    void ReShowData();
    bool validateEdits();

private:
    Document& m_doc;
};
