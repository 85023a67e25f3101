// The dialogs of the commands on found files, driven through their widgets.
#include "app/advanced_settings_dlg.h"
#include "app/file_command_state.h"
#include "app/file_types_dlg.h"
#include "app/open_with_dlg.h"
#include "app/print_options_dlg.h"
#include "app/report_file_chooser.h"
#include "settings/scope_settings.h"
#include "support/scripted_runner.h"
#include "support/temp_tree.h"
#include "support/ui_test_support.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>

using namespace vellick;

namespace {

QStringList checkBoxTexts(const QWidget& dialog)
{
    QStringList texts;
    for (const QCheckBox* box : dialog.findChildren<QCheckBox*>())
        texts.append(box->text());
    return texts;
}

QStringList items(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

template <typename T> T* child(const QObject& parent, const char* name)
{
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

} // namespace

class FileDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void openWithOkFollowsTheProgramName();
    void openWithBrowsePicksAProgram();
    void printOptionsShowTheSevenColumns();
    void advancedSettingsSliderAndLabel();
    void advancedSettingsScopeRefusesWhatItCannotRead();
    void advancedSettingsKeysAndTabOrder();
    void fileTypesListsAndSelection();
    void reportDialogClicksCountEvenWhenCancelled();
    void reportDialogGivesTheFormatsExtension();
};

void FileDialogsTest::openWithOkFollowsTheProgramName()
{
    test::ScriptedRunner runner;
    COpenWithDlg dialog(runner);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Open With ..."));
    auto* edit = child<QLineEdit>(dialog, "programName");
    auto* ok = child<QPushButton>(dialog, "okButton");
    QVERIFY(!ok->isEnabled());
    QTest::keyClicks(edit, QStringLiteral("my editor"));
    QVERIFY(ok->isEnabled());
    edit->clear();
    QVERIFY(!ok->isEnabled());
    dialog.accept(); // Enter with an empty box does nothing
    QCOMPARE(dialog.result(), 0);
    QTest::keyClicks(edit, QStringLiteral("gedit"));
    ok->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.programName(), QStringLiteral("gedit"));
}

void FileDialogsTest::openWithBrowsePicksAProgram()
{
    test::TempTree tree;
    const QString program = QString::fromStdString(tree.write("bin/viewer", "#!/bin/sh\n"));
    test::ScriptedRunner runner;
    QStringList filters;
    runner.then([&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        filters = files.nameFilters();
        files.selectFile(program);
        return int(QDialog::Accepted);
    });
    runner.then([](QDialog&) { return int(QDialog::Rejected); });
    COpenWithDlg dialog(runner);
    auto* browse = child<QPushButton>(dialog, "browseButton");
    browse->click();
    QCOMPARE(filters.size(), 2);
    QVERIFY(filters[0].startsWith(QStringLiteral("Programs")));
    QVERIFY(filters[1].startsWith(QStringLiteral("All Files (*.*)")));
    QCOMPARE(child<QLineEdit>(dialog, "programName")->text(), program);
    QVERIFY(child<QPushButton>(dialog, "okButton")->isEnabled());
    browse->click(); // cancelled: everything stays
    QCOMPARE(child<QLineEdit>(dialog, "programName")->text(), program);
}

void FileDialogsTest::printOptionsShowTheSevenColumns()
{
    CPrintOptionsDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Print search result"));
    QCOMPARE(checkBoxTexts(dialog),
        QStringList({ "Full Folder Name (Path) of File", "File Type", "File Size", "File Modified Date",
            "Keywords Found in File", "Text Surrounding Keywords", "Hit count" }));
    QVERIFY(!child<QCheckBox>(dialog, "includeHits")->isChecked());
    ReportOptions options;
    options.includeSize = options.includeContext = true;
    dialog.setOptions(options);
    QVERIFY(child<QCheckBox>(dialog, "includeContext")->isChecked());
    child<QCheckBox>(dialog, "includeSize")->click();
    child<QCheckBox>(dialog, "includePath")->click();
    child<QCheckBox>(dialog, "includeHits")->click();
    const ReportOptions changed = dialog.options();
    QVERIFY(changed.includePath && !changed.includeSize && changed.includeContext && !changed.includeType);
    QVERIFY(changed.includeHits);
}

void FileDialogsTest::advancedSettingsSliderAndLabel()
{
    CAdvancedSettingsDlg dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Advanced Settings"));
    dialog.setValues({ true, 1024 });
    auto* slider = child<QSlider>(dialog, "hitLimitSlider");
    auto* label = child<QLabel>(dialog, "hitLimitLabel");
    QCOMPARE(slider->minimum(), 1);
    QCOMPARE(slider->maximum(), 1024);
    QCOMPARE(slider->tickInterval(), 128);
    QCOMPARE(slider->tickPosition(), QSlider::TicksAbove);
    QCOMPARE(slider->value(), 1024);
    QCOMPARE(label->text(), QStringLiteral("1024"));
    QVERIFY(child<QCheckBox>(dialog, "includeHidden")->isChecked());

    QTest::keyClick(slider, Qt::Key_Left);
    QCOMPARE(label->text(), QStringLiteral("896"));
    QTest::keyClick(slider, Qt::Key_PageDown);
    QCOMPARE(slider->value(), 768);
    QTest::keyClick(slider, Qt::Key_Home);
    QCOMPARE(label->text(), QStringLiteral("1"));
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(label->text(), QStringLiteral("129"));
    slider->setValue(300); // dragging reaches any value
    QCOMPARE(label->text(), QStringLiteral("300"));
    child<QCheckBox>(dialog, "includeHidden")->click();
    dialog.accept();
    QCOMPARE(dialog.values().maxKeys, 300);
    QCOMPARE(dialog.values().includeHidden, false);
}

// A text that is no size or date is refused with a message; the dialog keeps what was typed.
void FileDialogsTest::advancedSettingsScopeRefusesWhatItCannotRead()
{
    test::ScriptedRunner messages;
    CAdvancedSettingsDlg dialog(nullptr, &messages);
    ScopeSettings scope;
    scope.excludedFolders = "build";
    dialog.setScope(scope);
    auto* minSize = child<QLineEdit>(dialog, "minSize");
    minSize->setText(QStringLiteral(" big "));
    child<QLineEdit>(dialog, "modifiedAfter")->setText(QStringLiteral("7d"));
    dialog.accept();
    QCOMPARE(messages.titles, QStringList({ "Advanced Settings" }));
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(minSize->selectedText(), QStringLiteral(" big "));

    minSize->setText(QStringLiteral(" 64K "));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    scope.minSize = "64K";
    scope.modifiedAfter = "7d";
    QVERIFY(dialog.scope() == scope);
}

// Every mnemonic leads to one control, and Tab goes through the controls top to bottom.
void FileDialogsTest::advancedSettingsKeysAndTabOrder()
{
    CAdvancedSettingsDlg dialog;
    QString keys;
    for (const QWidget* widget : dialog.findChildren<QWidget*>()) {
        const QString text = widget->property("text").toString();
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        if (amp >= 0 && amp + 1 < text.size()) {
            QVERIFY2(!keys.contains(text.at(amp + 1).toLower()), qPrintable(text));
            keys += text.at(amp + 1).toLower();
        }
    }
    QVERIFY2(keys.size() >= 9, qPrintable(keys)); // the nine scope controls
    QStringList order;
    QWidget* widget = child<QCheckBox>(dialog, "includeHidden");
    for (int i = 0; i < 40 && order.size() < 14; ++i, widget = widget->nextInFocusChain())
        if (widget->focusPolicy() & Qt::TabFocus)
            order << (widget->objectName().isEmpty() ? widget->property("text").toString() : widget->objectName());
    QCOMPARE(order,
        QStringList({ "includeHidden", "hitLimitSlider", "editorCommand", "excludedFolders", "minSize", "maxSize",
            "modifiedAfter", "modifiedBefore", "binaryFiles", "gitignore", "filesWithoutHits", "documents", "OK",
            "Cancel" }));
    // The scope group stands beside the others: with every group stacked, the dialog was taller than a
    // 768-pixel screen (542 pixels here, with the test platform's small fonts; 379 side by side).
    QVERIFY2(dialog.sizeHint().height() <= 460, qPrintable(QString::number(dialog.sizeHint().height())));
}

void FileDialogsTest::fileTypesListsAndSelection()
{
    test::TempTree tree;
    for (const char* name : { "Report.TXT", "notes.txt", "data.csv", "Makefile", ".profile" })
        tree.write(name, "x");
    CFileTypesDlg dialog(QStringLiteral("~/work"), tree.root());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Files & File Types"));
    QCOMPARE(child<QLineEdit>(dialog, "folderEdit")->text(), QStringLiteral("~/work"));
    auto* files = child<QListWidget>(dialog, "fileList");
    auto* types = child<QListWidget>(dialog, "typeList");
    auto* chosen = child<QListWidget>(dialog, "selectedList");
    auto* selectFile = child<QPushButton>(dialog, "selectFileButton");
    auto* remove = child<QPushButton>(dialog, "removeButton");
    QCOMPARE(items(files), QStringList({ "data.csv", "notes.txt", "report.txt" }));
    QCOMPARE(items(types), QStringList({ "*.*", "*.csv", "*.txt" }));
    QVERIFY(!selectFile->isEnabled() && !remove->isEnabled());

    types->setCurrentRow(2);
    QCOMPARE(items(files), QStringList({ "notes.txt", "report.txt" }));
    QCOMPARE(types->count(), 3);
    files->setCurrentRow(0);
    selectFile->click();
    files->setCurrentRow(1);
    selectFile->click();
    QCOMPARE(items(chosen), QStringList({ "notes.txt", "report.txt" }));
    QVERIFY(remove->isEnabled() && !selectFile->isEnabled());
    child<QPushButton>(dialog, "selectTypeButton")->click();
    QCOMPARE(items(chosen), QStringList({ "*.txt" }));

    types->setCurrentRow(1);
    child<QPushButton>(dialog, "selectTypeButton")->click();
    QCOMPARE(items(chosen), QStringList({ "*.csv", "*.txt" }));
    chosen->setCurrentRow(1);
    remove->click();
    QCOMPARE(chosen->currentRow(), 0);
    child<QPushButton>(dialog, "okButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenPatterns(), std::optional<QString>(QStringLiteral("*.csv,")));
}

void FileDialogsTest::reportDialogClicksCountEvenWhenCancelled()
{
    test::TempTree tree;
    FileCommandState state;
    state.lastDestinationFolder = tree.root();
    test::ScriptedRunner runner;
    QString directory;
    QStringList filters;
    QString selectedFilter;
    qsizetype boxCount = 0;
    runner.then([&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        directory = files.directory().absolutePath();
        filters = files.nameFilters();
        selectedFilter = files.selectedNameFilter();
        boxCount = checkBoxTexts(dialog).size();
        child<QCheckBox>(dialog, "includeType")->click();
        child<QCheckBox>(dialog, "includeKeywords")->click();
        return int(QDialog::Rejected);
    });
    QCOMPARE(ChooseReportFile(nullptr, runner, state), std::nullopt);
    QCOMPARE(runner.titles, QStringList { "Save search result to file" });
    QCOMPARE(directory, QString::fromStdString(tree.root()));
    QCOMPARE(filters,
        QStringList({ "CSV (MicroSoft Excel File) (*.csv)", "Text File for import to MS Access (*.txt)",
            "Plain Text File (*.txt)" }));
    QCOMPARE(selectedFilter, filters[0]);
    QCOMPARE(boxCount, 7);
    QVERIFY(state.reportOptions.includeType && state.reportOptions.includeKeywords);
    QVERIFY(!state.reportOptions.includePath);
    QCOMPARE(state.reportFormat, ReportFormat::Csv);
}

void FileDialogsTest::reportDialogGivesTheFormatsExtension()
{
    test::TempTree tree;
    FileCommandState state;
    state.reportFormat = ReportFormat::Import;
    test::ScriptedRunner runner;
    const QString folder = QString::fromStdString(tree.makeFolder("a.b"));
    QString openedOn;
    QString openedIn;
    runner.then([&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        openedOn = files.selectedNameFilter();
        openedIn = files.directory().absolutePath();
        files.selectNameFilter(QStringLiteral("Plain Text File (*.txt)"));
        files.selectFile(folder + QStringLiteral("/result.csv"));
        return int(QDialog::Accepted);
    });
    runner.then([&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        files.selectNameFilter(QStringLiteral("CSV (MicroSoft Excel File) (*.csv)"));
        files.selectFile(folder + QStringLiteral("/summary"));
        return int(QDialog::Accepted);
    });
    QCOMPARE(
        ChooseReportFile(nullptr, runner, state), std::optional<std::string>(folder.toStdString() + "/result.txt"));
    QCOMPARE(state.reportFormat, ReportFormat::PlainText);
    QCOMPARE(openedOn, QStringLiteral("Text File for import to MS Access (*.txt)"));
    QCOMPARE(openedIn, QDir::currentPath());
    QCOMPARE(state.lastDestinationFolder, QDir::currentPath().toStdString()); // filled with the current directory
    QCOMPARE(
        ChooseReportFile(nullptr, runner, state), std::optional<std::string>(folder.toStdString() + "/summary.csv"));
    QCOMPARE(state.reportFormat, ReportFormat::Csv);
}

VELLICK_UI_TEST_MAIN(FileDialogsTest)
#include "tst_file_dialogs.moc"
