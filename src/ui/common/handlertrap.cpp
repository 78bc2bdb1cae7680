#include "handlertrap.h"

#include <QRegularExpression>

QString handlerName(const QObject* control, const char* event) {
    static const QRegularExpression index(QStringLiteral("_\\d+$"));
    QString name = control->objectName();
    name.remove(index);
    return name + QLatin1Char('_') + QLatin1String(event);
}
