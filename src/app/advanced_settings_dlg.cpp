#include "app/advanced_settings_dlg.h"

#include "app/scope_settings_box.h"
#include "views/text_conversion.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace vellick {
namespace {

constexpr int kSliderStep = 128;

QLabel* borderedText(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setFrameShape(QFrame::Box);
    return label;
}

} // namespace

CAdvancedSettingsDlg::CAdvancedSettingsDlg(QWidget* parent, ModalRunner* messages)
    : QDialog(parent)
    , m_includeHidden(new QCheckBox(QStringLiteral("Include hidden files and system files when searching *.*")))
    , m_slider(new QSlider(Qt::Horizontal))
    , m_number(new QLabel)
    , m_editorCommand(new QLineEdit)
    , m_scope(new ScopeSettingsBox)
    , m_messages(messages ? messages : &m_execRunner)
{
    setWindowTitle(QStringLiteral("Advanced Settings"));
    m_includeHidden->setObjectName(QStringLiteral("includeHidden"));
    m_slider->setObjectName(QStringLiteral("hitLimitSlider"));
    m_slider->setRange(kMinMaxKeys, kMaxMaxKeys);
    m_slider->setTickInterval(kSliderStep);
    m_slider->setTickPosition(QSlider::TicksAbove);
    m_slider->setSingleStep(kSliderStep);
    m_slider->setPageStep(kSliderStep);
    m_number->setObjectName(QStringLiteral("hitLimitLabel"));
    m_number->setAlignment(Qt::AlignCenter);
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        m_values.maxKeys = value;
        m_number->setText(QString::number(value));
    });

    auto* hidden = new QGroupBox;
    auto* hiddenLayout = new QVBoxLayout(hidden);
    hiddenLayout->addWidget(m_includeHidden);
    hiddenLayout->addWidget(
        borderedText(QStringLiteral("Normally, you do not need to search hidden files and system "
                                    "files. They do not contain the information you are using daily. ")));
    auto* limit = new QGroupBox;
    auto* limitLayout = new QGridLayout(limit);
    limitLayout->addWidget(
        new QLabel(QStringLiteral("Maximal occurrences of keyword you want to locate in a single file.")), 0, 0, 1, 3);
    limitLayout->addWidget(m_number, 1, 1);
    limitLayout->addWidget(new QLabel(QStringLiteral("1")), 2, 0);
    limitLayout->addWidget(m_slider, 2, 1);
    limitLayout->addWidget(new QLabel(QStringLiteral("1024")), 2, 2);
    limitLayout->addWidget(
        borderedText(QStringLiteral("The more occurrences of keyword you want to locate, the slower "
                                    "the search speed might be and the more information you get in the file.")),
        3, 0, 1, 3);

    auto* editor = new QGroupBox(QStringLiteral("Editor command"));
    auto* editorLayout = new QVBoxLayout(editor);
    m_editorCommand->setObjectName(QStringLiteral("editorCommand"));
    m_editorCommand->setAccessibleName(QStringLiteral("Editor command"));
    editorLayout->addWidget(m_editorCommand);
    auto* editorHint = new QLabel(QStringLiteral("Open at Line runs this program: %f stands for the file, %l for the "
                                                 "line. Put an argument with spaces in double quotes."));
    editorHint->setWordWrap(true);
    editorLayout->addWidget(editorHint);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAdvancedSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The search scope stands beside the other groups, so that the dialog fits a screen 768 pixels high.
    auto* layout = new QGridLayout(this);
    auto* general = new QVBoxLayout;
    general->addWidget(hidden);
    general->addWidget(limit);
    general->addWidget(editor);
    general->addStretch();
    layout->addLayout(general, 0, 0);
    layout->addWidget(m_scope, 0, 1);
    layout->addWidget(buttons, 1, 0, 1, 2);
    setMinimumWidth(460);
    // Shown at the size its contents ask for: left to itself, a dialog takes at most two thirds of the
    // screen's width, which would squeeze the fields.
    resize(sizeHint());
    // Top to bottom in each column, the left one first.
    QList<QWidget*> order { m_includeHidden, m_slider, m_editorCommand };
    order << m_scope->controls() << buttons->button(QDialogButtonBox::Ok) << buttons->button(QDialogButtonBox::Cancel);
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void CAdvancedSettingsDlg::setValues(const SearchSettings& settings)
{
    m_values = settings;
    m_includeHidden->setChecked(settings.includeHidden);
    m_slider->setValue(settings.maxKeys);
    m_number->setText(QString::number(m_slider->value()));
    m_values.maxKeys = m_slider->value();
}

void CAdvancedSettingsDlg::setEditorCommand(const QString& stored, const QString& detected)
{
    m_detectedEditor = detected;
    m_editorCommand->setPlaceholderText(detected);
    m_editorCommand->setText(stored.isEmpty() ? detected : stored);
}

QString CAdvancedSettingsDlg::editorCommand() const
{
    const QString command = m_editorCommand->text().trimmed();
    return command == m_detectedEditor ? QString() : command;
}

void CAdvancedSettingsDlg::setScope(const ScopeSettings& scope)
{
    m_scope->setSettings(scope);
}

ScopeSettings CAdvancedSettingsDlg::scope() const
{
    return m_scope->settings();
}

void CAdvancedSettingsDlg::accept()
{
    const ScopeConversion checked = searchScopeFrom(m_scope->settings(), std::time(nullptr));
    if (!checked.scope) {
        QMessageBox box(QMessageBox::Warning, windowTitle(), fromText(checked.message), QMessageBox::Ok, this);
        m_messages->run(box);
        m_scope->focusField(checked.field);
        return;
    }
    m_values.maxKeys = m_slider->value();
    m_values.includeHidden = m_includeHidden->isChecked();
    QDialog::accept();
}

} // namespace vellick
