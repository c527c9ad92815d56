#include "Common/TextureImageProvider.h"
#include "Resources.h"

#include <QQuickWindow>
#include <QSGTexture>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>

// Pictures handed to the window as textures: the decoded copy goes once the
// texture is made, a lost texture is made again from the file, and anything
// that is not a readable picture gives nothing and a warning.
class tst_TextureImageProvider : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void textureAloneAfterUpload();
    void refused_data();
    void refused();

private:
    QTemporaryDir m_dir;
};

void tst_TextureImageProvider::initTestCase()
{
    tallyport::initResources();
    QVERIFY(m_dir.isValid());
}

void tst_TextureImageProvider::textureAloneAfterUpload()
{
    TextureImageProvider provider;
    QSize size;
    std::unique_ptr<QQuickTextureFactory> factory(
        provider.requestTexture(QStringLiteral("qrc:/qml/images/NFC/0.png"), &size, QSize(10, 10)));
    QVERIFY(factory);
    // Shown at its own size, whatever size is asked for.
    QCOMPARE(size, QSize(480, 536));
    QCOMPARE(factory->textureSize(), size);
    QVERIFY(!factory->image().isNull());

    QQuickWindow window;
    window.resize(20, 20);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSize made, madeAgain;
    bool heldAfterUpload = true;
    std::atomic<bool> done {false};
    // Textures are made where the window renders, with its context current.
    connect(
        &window, &QQuickWindow::beforeRendering, &window,
        [&] {
            if (done)
                return;
            std::unique_ptr<QSGTexture> texture(factory->createTexture(&window));
            made = texture ? texture->textureSize() : QSize();
            heldAfterUpload = !factory->image().isNull();
            // The window lost its textures: the picture is read again.
            std::unique_ptr<QSGTexture> again(factory->createTexture(&window));
            madeAgain = again ? again->textureSize() : QSize();
            done = true;
        },
        Qt::DirectConnection);
    window.update();
    QTRY_VERIFY(done);
    QCOMPARE(made, size);
    QVERIFY(!heldAfterUpload);
    QCOMPARE(madeAgain, size);
}

void tst_TextureImageProvider::refused_data()
{
    QTest::addColumn<QString>("id");
    QTest::newRow("empty") << QString();
    QTest::newRow("remote") << QStringLiteral("http://127.0.0.1/frame.png");
    QTest::newRow("missing") << QStringLiteral("qrc:/qml/images/NFC/99.png");
    QTest::newRow("not a picture")
        << QUrl::fromLocalFile(QStringLiteral(TALLYPORT_SOURCE_DIR "/README.md")).toString();
}

void tst_TextureImageProvider::refused()
{
    QFETCH(QString, id);
    TextureImageProvider provider;
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^\\[TextureImageProvider\\] WARN: ")));
    QSize size(-5, -5);
    std::unique_ptr<QQuickTextureFactory> factory(provider.requestTexture(id, &size, QSize()));
    QVERIFY(!factory);
    QCOMPARE(size, QSize(-5, -5));
}

QTEST_MAIN(tst_TextureImageProvider)

#include "tst_TextureImageProvider.moc"
