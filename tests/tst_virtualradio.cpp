#include <QTest>
class Test_virtualradio : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(Test_virtualradio)
#include "tst_virtualradio.moc"
