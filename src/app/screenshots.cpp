// Saves pictures of the shell's windows (the port window with its connection check among them)
// in both languages and both programs:
//   screenshots OUTDIR
// Runs offscreen with a temporary settings folder, so the user's settings stay untouched.

#include "core/config/messages.h"
#include "core/config/settingsfile.h"
#include "core/io/wholefile.h"
#include "ui/editors/channelgridwindow.h"
#include "ui/shell/aboutwindow.h"
#include "ui/shell/languagewindow.h"
#include "ui/shell/mainwindow.h"
#include "ui/shell/modelwindow.h"
#include "ui/shell/portwindow.h"
#include "ui/shell/printlistwindow.h"
#include "ui/shell/splashwindow.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFont>
#include <QLineEdit>
#include <QMdiArea>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {
// Answers every message without showing it.
class SilentMessages : public MessageService {
  public:
    MsgAnswer ask(const MessageRequest& r) override {
        return r.buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
};

// The window's picture under a plain title bar carrying its caption.
QImage framed(QWidget* w) {
    QApplication::processEvents();
    const QPixmap body = w->grab();
    const int bar = w->isWindow() && !(w->windowFlags() & Qt::FramelessWindowHint) ? 26 : 0;
    QImage img(body.width() + 2, body.height() + bar + 1, QImage::Format_RGB32);
    img.fill(QColor(70, 78, 90));
    QPainter p(&img);
    if (bar) {
        QFont f = w->font();
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(10, 0, img.width() - 20, bar), Qt::AlignVCenter | Qt::AlignLeft,
                   w->windowTitle());
    }
    p.drawPixmap(1, bar, body);
    return img;
}

bool save(QWidget* w, const QString& path) {
    QByteArray png;
    QBuffer buffer(&png);
    QString why = QStringLiteral("the picture cannot be encoded");
    const bool ok = buffer.open(QIODevice::WriteOnly) && framed(w).save(&buffer, "PNG") &&
                    writeWholeFile(path, png, &why);
    if (ok)
        std::printf("wrote %s\n", qPrintable(path));
    else
        std::printf("FAILED %s: %s\n", qPrintable(path), qPrintable(why));
    return ok;
}

// The channel grid's find bar after a search, and its Fill Frequencies dialog.
bool saveGridEdits(MainWindow& main, const QString& tag, const QDir& out) {
    auto* grid = qobject_cast<ChannelGridWindow*>(main.windows().show(ChildWindow::ChannelGrid));
    if (!grid) return false;
    grid->showFindBar();
    grid->findChild<QLineEdit*>(QStringLiteral("txtFind"))->setText(QStringLiteral("28.0"));
    grid->findNext();
    bool ok = save(&main, out.filePath(tag + QLatin1String("-findbar.png")));
    grid->selectRows({1, 2, 3, 4});
    grid->fillFrequencies();
    if (auto* fill = grid->findChild<QDialog*>(QStringLiteral("frmFillFrequencies"))) {
        ok = save(fill, out.filePath(tag + QLatin1String("-fill.png"))) && ok;
        fill->reject();
    }
    return ok;
}

// The windows of one program in one language.
bool saveWindows(const Product& p, int language, const QDir& out) {
    bool ok = true;
    setCurrentLanguage(language);
    const QString tag =
        p.program + (language == LanguageChinese ? QLatin1String("-zh") : QLatin1String("-en"));
    AppContext ctx;
    ctx.product = &p;
    ctx.settingsFile = defaultSettingsFile();
    ctx.programFolder = programFolderFor(p, QApplication::applicationDirPath());
    ctx.systemLanguage = language;
    SetupSettings settings(ctx.settingsFile);
    settings.setComPort(1);

    SplashWindow splash(ctx.programFolder, language);
    if (splash.hasPicture())
        ok = save(&splash, out.filePath(tag + QLatin1String("-splash.png"))) && ok;

    MainWindow main(ctx);
    main.show();
    QEventLoop settle;
    QTimer::singleShot(150, &settle, &QEventLoop::quit);
    settle.exec();
    ok = save(&main, out.filePath(tag + QLatin1String("-main.png"))) && ok;
    // The optional features as they open in the default main window.
    main.windows().show(ChildWindow::OptionFeatures);
    QTimer::singleShot(150, &settle, &QEventLoop::quit);
    settle.exec();
    ok = save(&main, out.filePath(tag + QLatin1String("-options.png"))) && ok;
    ok = saveGridEdits(main, tag, out) && ok;

    LanguageWindow lang(language, &settings, &main);
    lang.show();
    ok = save(&lang, out.filePath(tag + QLatin1String("-language.png"))) && ok;
    lang.close();

    PortWindow comm(1, settings, &main);
    comm.show();
    while (comm.statesPending())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ok = save(&comm, out.filePath(tag + QLatin1String("-port.png"))) && ok;
    // The connection check of the chosen port.
    if (auto* check = comm.findChild<QPushButton*>(QStringLiteral("CommandCheck"))) check->click();
    if (auto* lines = comm.findChild<QDialog*>(QStringLiteral("FrmPortCheck")))
        ok = save(lines, out.filePath(tag + QLatin1String("-portcheck.png"))) && ok;
    comm.close();

    ModelWindow model(main.document(), &main);
    model.show();
    ok = save(&model, out.filePath(tag + QLatin1String("-model.png"))) && ok;
    model.close();

    PrintListWindow print(main.document(), &main);
    print.show();
    ok = save(&print, out.filePath(tag + QLatin1String("-printlist.png"))) && ok;
    print.close();

    std::unique_ptr<AboutWindow> about;
    if (language == LanguageEnglish)
        about = std::make_unique<EnglishAboutWindow>(p.productName, &main);
    else
        about = std::make_unique<ChineseAboutWindow>(p.productName, &main);
    about->show();
    ok = save(about.get(), out.filePath(tag + QLatin1String("-about.png"))) && ok;
    about.reset();
    main.hide();
    return ok;
}
} // namespace

int main(int argc, char** argv) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshots OUTDIR\n");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    SilentMessages messages;
    setMessageService(&messages);
    bool ok = true;
    for (const Product* p : {&meridoxProduct(), &solvirProduct()}) {
        QApplication::setApplicationName(p->program);
        setProgramTitle(p->productName);
        for (const int language : {int(LanguageEnglish), int(LanguageChinese)})
            ok = saveWindows(*p, language, out) && ok;
    }
    setMessageService(nullptr);
    return ok ? 0 : 1;
}
