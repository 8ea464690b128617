// 表示 as a user with a large screen uses it: the zoom chosen with Ctrl++ and the daily table
// spread over the window, then a new start that draws every control half as large again, driven by
// clicks at the scaled places.
#include "tests/e2e/desktop.h"

#include <QSettings>

using namespace e2e;

namespace {

// The bounding box of the pixels of `image` within `area` that `matches` accepts.
template <class Matches>
QRect PixelsWhere(const QImage& image, const QRect& area, Matches matches)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (matches(image.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

bool IsLime(const QColor& color) { return color == QColor(0, 255, 0); }
// The maroon captions of the daily table, smoothed into the cell's light background.
bool IsCaptionInk(const QColor& color) { return color.red() - color.green() > 60; }

} // namespace

class TestEndToEndView : public QObject, public Desktop {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        screenWidth_ = 1920;
        screenHeight_ = 1080;
        Start();
    }
    void cleanupTestCase() { Stop(); }
    void theMonthIsTypedLargeAndWide();

private:
    // A point of the client area as designed, where the window draws it at the zoom.
    Point At(int x, int y) const { return { main_.X + qRound(x * scale_), main_.Y + qRound(y * scale_) }; }
    Point At(Point designed) const { return At(designed.X, designed.Y); }
    QImage Shot(const QString& name)
    {
        KeepPicture(QStringLiteral("root"), name);
        return QImage(output_ + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
    // The title panel of 予算と経過 and the ink of the 食　費 caption, on the screen.
    QRect LimePanel(const QImage& shot) const
    {
        return PixelsWhere(shot, QRect(QPoint(At(0, 80).X, At(0, 80).Y), QPoint(At(145, 105).X, At(145, 105).Y)), IsLime);
    }
    QRect FoodCaption(const QImage& shot) const
    {
        return PixelsWhere(shot, QRect(QPoint(At(154, 103).X, At(154, 103).Y), QPoint(At(223, 122).X, At(223, 122).Y)),
            IsCaptionInk);
    }
    // The list's panel stands at the client area's right edge, 185 pixels wide as designed.
    int ListPanelLeft() const { return qRound((screenWidth_ - main_.X) / scale_) - 185; }
};

void TestEndToEndView::theMonthIsTypedLargeAndWide()
{
    const QString ledger = home_.path() + QStringLiteral("/wide.ZMR");
    StartKivelo();
    QImage designed = Shot(QStringLiteral("view-100"));
    QRect lime = LimePanel(designed);
    QRect caption = FoodCaption(designed);
    QVERIFY(!lime.isEmpty() && !caption.isEmpty());

    // The period: 12月1日 onwards, so that the days have their lists.
    Click(Offset(main_, 288 + 64 + 12, 40 + 5 + 11));
    Type(QStringLiteral("12"));
    Click(Offset(main_, 288 + 120 + 12, 40 + 5 + 11));
    Type(QStringLiteral("1"));
    Click(Offset(main_, 288 + 240 + 32, 40 + 5 + 12));

    // Ctrl++ twice: 150 % from the next start, each step said in a box.
    for (int step = 0; step < 2; ++step) {
        Key(QStringLiteral("ctrl+plus"));
        QString box = WindowOver(mainWindow_);
        QVERIFY(!box.isEmpty());
        Key(QStringLiteral("Return"));
        QVERIFY(Gone(box));
        QVERIFY(Activate(mainWindow_));
    }
    // 表示 > 画面に合わせて広げる through the keys: F10, along to 表示, up to its last item (whether
    // or not the menu opened with its first item chosen).
    Key(QStringLiteral("F10"));
    for (const char* key : { "Right", "Right", "Up", "Return" })
        Key(QString::fromLatin1(key));

    // The twentieth day is on screen; its list takes an amount and confirms at the right edge.
    Point grid4 = Offset(main_, 152, 80);
    Click(GridCell(grid4, 21, DailyRows, 1), 2);
    Point list = Offset(main_, ListPanelLeft() + 8, 40);
    Click(GridCell(list, 1, ListRows, 1));
    Type(QStringLiteral("980"));
    Click(Offset(main_, ListPanelLeft() + 56 + 32, 469 + 32 + 12));
    SaveAsThroughMenu(ledger);
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(ledger).size(), qint64(336780), 10000);
    QuitKivelo();
    QCOMPARE(LedgerBytes(ledger).Daily(21, 1), QByteArray("980"));
    QSettings kept(home_.path() + QStringLiteral("/.config/kivelo/kivelo.conf"), QSettings::IniFormat);
    QCOMPARE(kept.value("view/zoom").toInt(), 150);
    QCOMPARE(kept.value("view/wide").toBool(), true);

    // The next start draws at 150 %, spread.
    scale_ = 1.5;
    StartKivelo(ledger);
    QImage large = Shot(QStringLiteral("view-150-wide"));
    QRect limeLarge = LimePanel(large);
    QRect captionLarge = FoodCaption(large);
    QVERIFY2(std::abs(limeLarge.width() - 1.5 * lime.width()) <= 2, qPrintable(QString::number(limeLarge.width())));
    QVERIFY2(std::abs(limeLarge.height() - 1.5 * lime.height()) <= 2, qPrintable(QString::number(limeLarge.height())));
    QVERIFY2(std::abs(captionLarge.height() - 1.5 * caption.height()) <= 1.5,
        qPrintable(QStringLiteral("%1 at 100 %, %2 at 150 %").arg(caption.height()).arg(captionLarge.height())));

    // A double click at the scaled centre of the first day's food cell opens its list.
    Click(At(GridCell({ 152, 80 }, 2, DailyRows, 1)), 2);
    Click(At(GridCell({ ListPanelLeft() + 8, 40 }, 1, ListRows, 1)));
    Type(QStringLiteral("150"));
    Click(At(ListPanelLeft() + 56 + 32, 469 + 32 + 12));
    KeepPicture(QStringLiteral("root"), QStringLiteral("view-150-typed"));
    // Ctrl+S asks for the name in the file dialog, drawn at 150 % too.
    const QString larger = home_.path() + QStringLiteral("/wide-150.ZMR");
    Key(QStringLiteral("ctrl+s"));
    AnswerFileDialog(larger);
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(larger).size(), qint64(336780), 10000);
    QCOMPARE(LedgerBytes(larger).Daily(2, 1), QByteArray("150"));
    QCOMPARE(LedgerBytes(larger).Daily(21, 1), QByteArray("980"));
    Click(At(84, 12));  // BitBtn1
    QVERIFY(program_->WaitForExit(10000));
}

QTEST_MAIN(TestEndToEndView)
#include "tst_e2e_view.moc"
