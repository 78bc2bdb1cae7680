#include "localinfo.h"

#include "core/config/messages.h"
#include "core/config/modelband.h"

#include <QLocale>

LocalInformation defaultLocalInformation(QDate today) {
    const QString nul(QChar(0));
    const QString date = QLocale::system().toString(today, QLocale::ShortFormat) + nul;
    LocalInformation info;
    info[0] = QStringLiteral("0595");
    info[1] = today.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("00000001");
    info[2] = info[3] = date;
    info[4] = nul;
    info[5] = QStringLiteral("V1.00");
    info[6] = (today.toString(QStringLiteral("MM")) + QStringLiteral("-1-E-1")).left(8);
    info[7] = QStringLiteral("001A");
    info[8] = nul;
    info[9] = info[10] = date;
    info[11] = nul;
    return info;
}

QString shownLocalInformation(const LocalInformation& info, int index) {
    if (index < 0 || index >= int(info.size())) return {};
    const QString& v = info[size_t(index)];
    if (index == 5) return v;
    QString t = trimSpaces(v);
    if (t.endsWith(QChar(0))) t.chop(1);
    return t;
}

QString localInformationLabel(int index, int language) {
    static const char* const labels[12][2] = {
        {"Area Code", "销售区号"},
        {"Serial Number", "序列号"},
        {"Producted Date", "出厂日期"},
        {"Maintained Date", "维修日期"},
        {"Maintained Description", "维修原因"},
        {"Version", "固件版本"},
        {"Manufacture Code", "生产批号"},
        {"User Code", "客户代码"},
        {"Dealer Code", "经销商代码"},
        {"Stock Date", "入库时间"},
        {"Sell Date", "销售时间"},
        {"Seller", "经手人"},
    };
    if (index < 0 || index >= 12) return {};
    if (language == LanguageEnglish) return QString::fromUtf8(labels[index][0]);
    if (language == LanguageChinese) return QString::fromUtf8(labels[index][1]);
    return {};
}
