#include <lumo/QxHelpers.h>

#include <QtTest>

#include <QCheckBox>
#include <QCommandLinkButton>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

class tst_QxHelpers : public QObject
{
    Q_OBJECT

private slots:
    void nullRootDoesNothing();
    void dialogTree();
    void labelText_data();
    void labelText();
};

// No root means no widget, not every widget of the application.
void tst_QxHelpers::nullRootDoesNothing()
{
    QWidget window;
    window.setWindowTitle(QStringLiteral("a"));
    auto *label = new QLabel(QStringLiteral("a"), &window);
    QxHelpers::replaceStringInWidget(nullptr, QStringLiteral("a"), QStringLiteral("b"));
    QCOMPARE(window.windowTitle(), QStringLiteral("a"));
    QCOMPARE(label->text(), QStringLiteral("a"));
}

void tst_QxHelpers::dialogTree()
{
    QDialog root;
    root.setWindowTitle(QStringLiteral("Alpha settings"));
    root.setToolTip(QStringLiteral("Alpha tip"));

    auto *outer = new QFrame(&root);
    auto *middle = new QWidget(outer);
    middle->setToolTip(QStringLiteral("inner Alpha"));
    auto *deep = new QLabel(QStringLiteral("Alpha deep"), middle);
    deep->setStatusTip(QStringLiteral("Alpha status"));
    deep->setWhatsThis(QStringLiteral("Alpha what"));

    auto *link = new QCommandLinkButton(QStringLiteral("Alpha link"), QStringLiteral("About Alpha"),
                                        &root);
    auto *push = new QPushButton(QStringLiteral("Alpha push"), &root);
    auto *check = new QCheckBox(QStringLiteral("Alpha check"), outer);
    auto *radio = new QRadioButton(QStringLiteral("Alpha radio"), middle);
    auto *tool = new QToolButton(&root);
    tool->setText(QStringLiteral("Alpha tool"));

    auto *box = new QGroupBox(QStringLiteral("Alpha box"), &root);
    box->setToolTip(QStringLiteral("Alpha box tip"));
    auto *edit = new QLineEdit(QStringLiteral("Alpha"), box);
    edit->setToolTip(QStringLiteral("Alpha edit tip"));

    QPixmap picture(8, 8);
    picture.fill(Qt::red);
    auto *pictureLabel = new QLabel(outer);
    pictureLabel->setPixmap(picture);

    // A dialog parented below the root, with a label of its own.
    auto *child = new QDialog(middle);
    child->setWindowTitle(QStringLiteral("Alpha child"));
    auto *childLabel = new QLabel(QStringLiteral("in Alpha child"), child);

    QxHelpers::replaceStringInWidget(&root, QStringLiteral("Alpha"), QStringLiteral("Beta"));

    QCOMPARE(root.windowTitle(), QStringLiteral("Beta settings"));
    QCOMPARE(root.toolTip(), QStringLiteral("Beta tip"));
    QCOMPARE(middle->toolTip(), QStringLiteral("inner Beta"));
    QCOMPARE(deep->text(), QStringLiteral("Beta deep"));
    QCOMPARE(deep->statusTip(), QStringLiteral("Alpha status"));
    QCOMPARE(deep->whatsThis(), QStringLiteral("Alpha what"));
    QCOMPARE(link->text(), QStringLiteral("Beta link"));
    QCOMPARE(link->description(), QStringLiteral("About Beta"));
    QCOMPARE(push->text(), QStringLiteral("Beta push"));
    QCOMPARE(check->text(), QStringLiteral("Beta check"));
    QCOMPARE(radio->text(), QStringLiteral("Beta radio"));
    QCOMPARE(tool->text(), QStringLiteral("Beta tool"));
    QCOMPARE(box->title(), QStringLiteral("Alpha box"));
    QCOMPARE(box->toolTip(), QStringLiteral("Beta box tip"));
    QCOMPARE(edit->text(), QStringLiteral("Alpha"));
    QCOMPARE(edit->toolTip(), QStringLiteral("Beta edit tip"));
    QCOMPARE(child->windowTitle(), QStringLiteral("Beta child"));
    QCOMPARE(childLabel->text(), QStringLiteral("in Beta child"));
    // Writing back its empty text must not take its picture away.
    QVERIFY(!pictureLabel->pixmap(Qt::ReturnByValue).isNull());
}

void tst_QxHelpers::labelText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::newRow("every occurrence") << "a-a-a" << "a" << "bb" << "bb-bb-bb";
    QTest::newRow("case-sensitive") << "Alpha alpha ALPHA" << "alpha" << "beta" << "Alpha beta ALPHA";
    QTest::newRow("no match") << "Gamma" << "Alpha" << "Beta" << "Gamma";
    QTest::newRow("removal") << "Save file" << " file" << "" << "Save";
    QTest::newRow("replacement contains search text") << "ab" << "a" << "aa" << "aab";
    QTest::newRow("empty search text changes nothing") << "Open" << "" << "x" << "Open";
    // clang-format on
}

void tst_QxHelpers::labelText()
{
    QFETCH(QString, text);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, expected);

    QWidget root;
    root.setWindowTitle(text);
    auto *label = new QLabel(text, &root);
    auto *button = new QPushButton(text, &root);
    QxHelpers::replaceStringInWidget(&root, before, after);
    QCOMPARE(root.windowTitle(), expected);
    QCOMPARE(label->text(), expected);
    QCOMPARE(button->text(), expected);
}

QTEST_MAIN(tst_QxHelpers)
#include "tst_QxHelpers.moc"
