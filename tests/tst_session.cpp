#include <QTest>
class Test_session : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(Test_session)
#include "tst_session.moc"
