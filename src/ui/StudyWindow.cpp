#include "ui/StudyWindow.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "analysis/ProgramLimits.h"
#include "runtime/UiFont.h"
#include "study/StudyFiles.h"
#include "ui/FileLists.h"
#include "ui/IndicesTab.h"
#include "ui/InelasticTab.h"
#include "ui/MainWindow.h"
#include "ui/StrengthTab.h"
#include "ui/StudyChart.h"
#include "ui/StudyTabs.h"

namespace kestrel {

StudyWindow::StudyWindow(MainWindow& main) : QWidget(&main, Qt::Window), main_(main) {
    setObjectName(QStringLiteral("frmStudy"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("結果の検討"));
    setFont(UiFont());

    lblRun = new QLabel;
    lblRun->setWordWrap(true);
    lblRun->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblNewerRun = NewNotice();
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabStudy"));
    spectrum = new SpectrumTab;
    fourier = new FourierTab;
    accuracy = new AccuracyTab;
    indices = new IndicesTab;
    inelastic = new InelasticTab;
    strength = new StrengthTab;
    // The strength spectra are the bilinear model's: a bilinear run of the elastic-plastic
    // tab marks the building's own yield coefficient and ductility on them.
    strength->buildingYield = [this]() -> std::optional<StrengthTab::BuildingYield> {
        const std::optional<InelasticMarker> run = inelastic->LastRun();
        if (!run || run->model != SpringModel::Bilinear) return std::nullopt;
        return StrengthTab::BuildingYield{run->yieldCoefficient, run->ductility};
    };
    connect(inelastic, &InelasticTab::lastRunChanged, strength, &StrengthTab::Redraw);
    tabs->addTab(spectrum, tr("応答スペクトル"));
    tabs->addTab(fourier, tr("フーリエスペクトル"));
    tabs->addTab(accuracy, tr("解法の精度"));
    tabs->addTab(indices, tr("地震動の指標"));
    tabs->addTab(inelastic, tr("弾塑性応答"));
    tabs->addTab(strength, tr("所要耐力スペクトル"));

    cmdRecompute = new QPushButton(tr("再計算(&U)"));
    cmdCsv = new QPushButton(tr("CSV 保存(&C)..."));
    cmdPng = new QPushButton(tr("PNG 保存(&P)..."));
    cmdSvg = new QPushButton(tr("SVG 保存(&G)..."));
    cmdClose = new QPushButton(tr("閉じる(&X)"));
    const std::pair<QObject*, const char*> names[] = {
        {lblRun, "lblRun"},        {lblNewerRun, "lblNewerRun"}, {cmdRecompute, "cmdRecompute"},
        {cmdCsv, "cmdCsv"},        {cmdPng, "cmdPng"},           {cmdSvg, "cmdSvg"},
        {cmdClose, "cmdClose"},    {spectrum, "tabSpectrum"},    {fourier, "tabFourier"},
        {accuracy, "tabAccuracy"}, {indices, "tabIndices"},      {inelastic, "tabInelastic"},
        {strength, "tabStrength"},
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
    layout->addWidget(lblRun);
    layout->addWidget(lblNewerRun);
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
    connect(&main_, &MainWindow::lastRunChanged, this, &StudyWindow::NoteMainWindowRun);

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

StudyInputs StudyInputsOf(std::shared_ptr<const SteppedRun> run) {
    StudyInputs inputs;
    const RunInputs& in = run->inputs;
    inputs.naturalPeriod = in.naturalPeriod;
    inputs.dampingRatio = in.building.dampingRatio;
    const double undamped = program::kTwoPi * std::sqrt(in.building.mass / in.building.stiffness);
    if (std::isfinite(undamped) && undamped > 0) inputs.undampedPeriod = undamped;
    if (const auto* record = std::get_if<RecordedMotion>(&run->motion)) {
        inputs.record = record;
        inputs.recordPath = run->wave.path;
        inputs.recordName =
            QFileInfo(ShownPath(QByteArray::fromStdString(run->wave.path))).fileName();
        if (run->wave.component) {
            const std::string_view name = ComponentName(*run->wave.component);
            inputs.recordName += QStringLiteral(" (%1)").arg(
                QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        }
    }
    inputs.run = std::move(run);
    return inputs;
}

bool StudyWindow::Recompute() {
    std::shared_ptr<const SteppedRun> run = main_.LastRun();
    if (!run) {
        main_.Messages().ShowMessage(tr("検討できる解析結果がありません。\n"
                                        "「解析開始」で解析してから開いて下さい。"),
                                     kOkExclamation, tr("結果の検討"));
        return false;
    }
    run_ = run;
    const StudyInputs inputs = StudyInputsOf(std::move(run));
    lblRun->setText(tr("検討する解析：") +
                    JoinCaption({ExcitationCaption(inputs), BuildingCaption(inputs)}));
    NoteMainWindowRun();

    MessageService& messages = main_.Messages();
    for (StudyTab* tab : {static_cast<StudyTab*>(spectrum), static_cast<StudyTab*>(fourier),
                          static_cast<StudyTab*>(accuracy), static_cast<StudyTab*>(indices),
                          static_cast<StudyTab*>(inelastic), static_cast<StudyTab*>(strength)}) {
        tab->Compute(inputs, messages);
    }
    return true;
}

void StudyWindow::NoteMainWindowRun() {
    const std::shared_ptr<const SteppedRun> now = main_.LastRun();
    if (!run_ || now == run_) {
        lblNewerRun->hide();
        return;
    }
    lblNewerRun->setText(
        now ? tr("主画面で新しく解析しました。ここに示すのはその前の解析です。"
                 "「再計算」で新しい解析に切り替わります。")
            : tr("主画面には検討できる解析結果がありません（解析中か、解析できません"
                 "でした）。ここに示すのはその前の解析です。"));
    lblNewerRun->show();
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
    QString why = tr("保存する計算結果がありません。");
    const QByteArray bytes = tab->HasResult() ? tab->CsvBytes(why) : QByteArray();
    if (bytes.isEmpty()) {
        main_.Messages().ShowMessage(why, kOkExclamation, tr("データの保存"));
        return;
    }
    Export(tr("CSV ファイルの保存"), CurrentName() + QStringLiteral(".csv"),
           tr("CSV ファイル (*.csv)"), bytes);
}

void StudyWindow::cmdPng_Click() {
    Export(tr("PNG 画像の保存"), CurrentName() + QStringLiteral(".png"), tr("PNG 画像 (*.png)"),
           WidgetPng(CurrentCharts(), CurrentCaption()));
}

void StudyWindow::cmdSvg_Click() {
    Export(tr("SVG 画像の保存"), CurrentName() + QStringLiteral(".svg"), tr("SVG 画像 (*.svg)"),
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
                                     kOkExclamation, tr("データの保存"));
    }
}

}  // namespace kestrel
