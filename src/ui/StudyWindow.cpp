#include "ui/StudyWindow.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "analysis/ProgramLimits.h"
#include "analysis/RunFromTexts.h"
#include "runtime/UiFont.h"
#include "study/StudyFiles.h"
#include "ui/FileLists.h"
#include "ui/IndicesTab.h"
#include "ui/MainWindow.h"
#include "ui/StudyChart.h"
#include "ui/StudyTabs.h"

namespace kestrel {

StudyWindow::StudyWindow(MainWindow& main) : QWidget(&main, Qt::Window), main_(main) {
    setObjectName(QStringLiteral("frmStudy"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("結果の検討"));
    setFont(UiFont());

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabStudy"));
    spectrum = new SpectrumTab;
    fourier = new FourierTab;
    accuracy = new AccuracyTab;
    indices = new IndicesTab;
    tabs->addTab(spectrum, QStringLiteral("応答スペクトル"));
    tabs->addTab(fourier, QStringLiteral("フーリエスペクトル"));
    tabs->addTab(accuracy, QStringLiteral("解法の精度"));
    tabs->addTab(indices, QStringLiteral("地震動の指標"));

    cmdRecompute = new QPushButton(QStringLiteral("再計算(&U)"));
    cmdCsv = new QPushButton(QStringLiteral("CSV 保存(&C)..."));
    cmdPng = new QPushButton(QStringLiteral("PNG 保存(&P)..."));
    cmdSvg = new QPushButton(QStringLiteral("SVG 保存(&G)..."));
    cmdClose = new QPushButton(QStringLiteral("閉じる(&X)"));
    const std::pair<QObject*, const char*> names[] = {
        {cmdRecompute, "cmdRecompute"},
        {cmdCsv, "cmdCsv"},
        {cmdPng, "cmdPng"},
        {cmdSvg, "cmdSvg"},
        {cmdClose, "cmdClose"},
        {spectrum, "tabSpectrum"},
        {fourier, "tabFourier"},
        {accuracy, "tabAccuracy"},
        {indices, "tabIndices"},
    };
    for (const auto& [object, name] : names) object->setObjectName(QString::fromLatin1(name));

    auto* commands = new QHBoxLayout;
    commands->addWidget(cmdRecompute);
    commands->addStretch(1);
    commands->addWidget(cmdCsv);
    commands->addWidget(cmdPng);
    commands->addWidget(cmdSvg);
    commands->addSpacing(16);
    commands->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(tabs, 1);
    layout->addLayout(commands);
    // Wide enough for the accuracy tab's table beside its charts, within the screen.
    QSize size(1100, 780);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableGeometry().size());
    }
    resize(size);

    connect(cmdRecompute, &QPushButton::clicked, this, [this] { Recompute(); });
    connect(cmdCsv, &QPushButton::clicked, this, &StudyWindow::cmdCsv_Click);
    connect(cmdPng, &QPushButton::clicked, this, &StudyWindow::cmdPng_Click);
    connect(cmdSvg, &QPushButton::clicked, this, &StudyWindow::cmdSvg_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    askSaveFileName = [](QWidget* parent, const QString& caption, const QString& suggested,
                         const QString& filter, const QString& defaultSuffix) {
        QFileDialog dialog(parent, caption, suggested, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        // The program's own dialog: a system dialog may confirm the name as typed and leave
        // the suffix to be added after its question.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return QString();
        }
        return dialog.selectedFiles().constFirst();
    };
}

void StudyWindow::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

StudyWindow::~StudyWindow() = default;

bool StudyWindow::Recompute() {
    WaveSource source;
    std::optional<WaveRecord> record = main_.LoadWaveRecord(&source);
    if (!record) return false;
    StudyInputs inputs;
    inputs.texts = main_.CurrentTexts();
    inputs.selected = main_.SelectedCase();
    inputs.record = std::move(*record);

    // The building's natural period and damping from the model boxes, then its own run on
    // the record, as "解析開始" computes it.
    const Building building = ReadBuilding(inputs.texts.model);
    if (const FaultOr<double> period = ReadNaturalPeriod(inputs.texts.model)) {
        inputs.naturalPeriod = *period;
        const double undamped = program::kTwoPi * std::sqrt(building.mass / building.stiffness);
        if (std::isfinite(undamped) && undamped > 0) inputs.undampedPeriod = undamped;
    }
    inputs.dampingRatio = building.dampingRatio;
    RunHooks hooks;
    hooks.loadWaveRecord = [&inputs] { return std::optional<WaveRecord>(inputs.record); };
    RunOutcome run = RunFromTexts(inputs.texts, ExcitationCase::Earthquake, hooks);
    if (run.status == RunOutcome::Status::Completed) {
        inputs.building = std::move(run.response);
    } else {
        inputs.buildingFault = run.fault;
    }
    inputs.recordPath = source.path;
    inputs.recordName = QFileInfo(ShownPath(QByteArray::fromStdString(source.path))).fileName();
    if (source.component) {
        const std::string_view name = ComponentName(*source.component);
        inputs.recordName += QStringLiteral(" (%1)").arg(
            QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }

    MessageService& messages = main_.Messages();
    for (StudyTab* tab : {static_cast<StudyTab*>(spectrum), static_cast<StudyTab*>(fourier),
                          static_cast<StudyTab*>(accuracy), static_cast<StudyTab*>(indices)}) {
        tab->Compute(inputs, messages);
    }
    return true;
}

QWidget* StudyWindow::CurrentCharts() const {
    return static_cast<StudyTab*>(tabs->currentWidget())->Charts();
}

QString StudyWindow::CurrentName() const {
    return static_cast<StudyTab*>(tabs->currentWidget())->ExportName();
}

QString StudyWindow::CurrentCaption() const {
    return static_cast<StudyTab*>(tabs->currentWidget())->Caption();
}

void StudyWindow::cmdCsv_Click() {
    auto* tab = static_cast<StudyTab*>(tabs->currentWidget());
    QString why = QStringLiteral("保存する計算結果がありません。");
    const QByteArray bytes = tab->HasResult() ? tab->CsvBytes(why) : QByteArray();
    if (bytes.isEmpty()) {
        main_.Messages().ShowMessage(why, kOkExclamation, QStringLiteral("データの保存"));
        return;
    }
    Export(QStringLiteral("CSV ファイルの保存"), CurrentName() + QStringLiteral(".csv"),
           QStringLiteral("CSV ファイル (*.csv)"), bytes);
}

void StudyWindow::cmdPng_Click() {
    Export(QStringLiteral("PNG 画像の保存"), CurrentName() + QStringLiteral(".png"),
           QStringLiteral("PNG 画像 (*.png)"), WidgetPng(CurrentCharts(), CurrentCaption()));
}

void StudyWindow::cmdSvg_Click() {
    Export(QStringLiteral("SVG 画像の保存"), CurrentName() + QStringLiteral(".svg"),
           QStringLiteral("SVG 画像 (*.svg)"),
           WidgetSvg(CurrentCharts(), CurrentName(), CurrentCaption()));
}

void StudyWindow::Export(const QString& caption, const QString& suggested, const QString& filter,
                         const QByteArray& bytes) {
    // The dialog adds the extension to a name typed without one, before it asks whether to
    // replace an existing file: the name it returns is written as it is.
    const QString path =
        askSaveFileName(this, caption, suggested, filter, QFileInfo(suggested).suffix());
    if (path.isEmpty()) return;
    if (const auto error =
            WriteWholeFile(path.toStdString(), std::string_view(bytes.constData(), bytes.size()))) {
        main_.Messages().ShowMessage(QString::fromStdString(StudySaveErrorMessage(*error)),
                                     kOkExclamation, QStringLiteral("データの保存"));
    }
}

}  // namespace kestrel
