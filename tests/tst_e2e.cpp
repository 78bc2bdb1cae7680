#include <QTest>
class Test_e2e : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(Test_e2e)
#include "tst_e2e.moc"
