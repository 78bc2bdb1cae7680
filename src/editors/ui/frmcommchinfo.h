#pragma once

#include "config/document.h"
#include <QWidget>

class frmCommChInfo : public QWidget {
    Q_OBJECT
public:
    explicit frmCommChInfo(Document& doc, QWidget* parent = nullptr);
    // Commits a value still being edited (before a write); false when it was refused.
    bool validateEdits();

private:
    Document& m_doc;
};
