#include <QTest>
class TestCodec : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
