// The pictures README shows are what the program shows: the screenshot tool run afresh gives
// the committed pictures pixel for pixel, whatever font rules the system has.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_Screenshots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameAsCommitted_data();
    void sameAsCommitted();

private:
    QTemporaryDir m_dir;
};

void tst_Screenshots::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral(QUORVEL_SCREENSHOTS), {m_dir.path()});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
}

void tst_Screenshots::sameAsCommitted_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"main-window.png", "pad-key-lit.png", "message-box.png", "about-window.png"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void tst_Screenshots::sameAsCommitted()
{
    QFETCH(QString, name);
    const QImage made = QImage(m_dir.filePath(name)).convertToFormat(QImage::Format_RGB32);
    const QImage committed = QImage(QStringLiteral(QUORVEL_DOCS "/") + name).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!committed.isNull());
    QCOMPARE(made.size(), committed.size());
    int differing = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < made.height(); ++y) {
        for (int x = 0; x < made.width(); ++x) {
            if (made.pixel(x, y) != committed.pixel(x, y) && differing++ == 0)
                first = QPoint(x, y);
        }
    }
    QVERIFY2(differing == 0, qPrintable(QStringLiteral("%1 pixels differ, the first at (%2, %3)")
                                        .arg(differing).arg(first.x()).arg(first.y())));
}

QTEST_GUILESS_MAIN(tst_Screenshots)
#include "tst_screenshots.moc"
