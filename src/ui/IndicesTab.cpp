// "地震動の指標": the low-cut box and the component files, the table of the indices, the six
// charts (components, the intensity's filtered vector with its level a, Husid curves,
// velocities, displacements, Sv for SI) and the readout.
#include "ui/IndicesTab.h"

#include <QChart>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QScatterSeries>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "files/ComponentSet.h"
#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"
#include "study/GroundMotionIndices.h"
#include "study/IndicesFiles.h"
#include "ui/FileLists.h"
#include "ui/StudyChart.h"

namespace kestrel {

namespace {

// Columns of the thinned curves: each chart is a third of the window wide, and more than
// twice its width of points adds nothing (and would slow the drawing of six charts).
constexpr int kColumns = 800;

// The colours of the components in their order.
const QColor kComponentColors[] = {QColor(0, 90, 200), QColor(220, 100, 0), QColor(0, 150, 70)};
const QColor kLevelColor(200, 0, 0);

// The table's column headings: the CSV's, broken before the unit to keep the columns narrow.
constexpr const char* kHeadings[] = {
    QT_TRANSLATE_NOOP("kestrel::IndicesTab", "計測震度"),
    QT_TRANSLATE_NOOP("kestrel::IndicesTab", "震度階級"),
    QT_TRANSLATE_NOOP("kestrel::IndicesTab", "計測震度\n(3桁)"),
    QT_TRANSLATE_NOOP("kestrel::IndicesTab", "a\n(cm/s2)"),
    QT_TRANSLATE_NOOP("kestrel::IndicesTab", "最大加速度\n(cm/s2)"),
    QT_TRANSLATE_NOOP("kestrel::IndicesTab", "最大速度\n(cm/s)"),
    QT_TRANSLATE_NOOP("kestrel::IndicesTab", "最大変位\n(cm)"),
    QT_TRANSLATE_NOOP("kestrel::IndicesTab", "SI値\n(cm/s)"),
    QT_TRANSLATE_NOOP("kestrel::IndicesTab", "アリアス強度\n(m/s)"),
    QT_TRANSLATE_NOOP("kestrel::IndicesTab", "有効継続時間\n5-95%(s)"),
    QT_TRANSLATE_NOOP("kestrel::IndicesTab", "CAV\n(cm/s)"),
};
static_assert(std::size(kHeadings) == kIndexColumns.size());

// Rows the table has room for: three components and the record as a whole.
constexpr int kTableRows = 4;

constexpr std::string_view kDirectionNames[] = {"NS", "EW", "UD"};

QString Utf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString Shown(const std::string& path) {
    return ShownPath(QByteArray::fromStdString(path));
}

std::size_t Slot(const ComponentRecord& c) {
    if (!c.directionKnown) return 0;
    return c.direction == RecordComponent::NS ? 0 : c.direction == RecordComponent::EW ? 1 : 2;
}

// The set read from the run's record file with the run's own record in it: the record the
// run stepped through, whole. A file that can no longer be read, or that now holds another
// record than the run's, gives the run's record alone, and says so in `reasons`.
ComponentSetRead WithRunRecord(ComponentSetRead read, const StudyInputs& inputs,
                               std::vector<std::string>& reasons) {
    const RecordedMotion& motion = *inputs.record;
    const std::optional<RecordComponent> direction = inputs.run->wave.component;
    if (read.ok()) {
        const auto& components = read.set.components;
        const auto own =
            direction ? std::find_if(components.begin(), components.end(),
                                     [&](const ComponentRecord& c) {
                                         return c.directionKnown && c.direction == *direction;
                                     })
                      : components.begin() + static_cast<std::ptrdiff_t>(read.set.chosen);
        if (own != components.end() && own->record.timeStep == motion.timeStep() &&
            own->record.samples == motion.samples()) {
            return read;
        }
    }
    ComponentSetRead alone;
    ComponentRecord& c = alone.set.components.emplace_back();
    c.direction = direction.value_or(RecordComponent::NS);
    c.directionKnown = direction.has_value();
    c.path = inputs.recordPath;
    c.record = WaveRecord{motion.timeStep(), motion.samples()};
    reasons.push_back(
        IndicesTab::tr("記録のファイル「%1」は解析の後で読めなくなったか変わったため、"
                       "解析した記録の成分だけで求めました。")
            .arg(Shown(inputs.recordPath))
            .toStdString());
    return alone;
}

// A reason the indices keep in Japanese for the CSV, in the current language, on one line:
// whole from the core's catalogue, or else line by line (a reason with a filled place is
// looked up by its lines; a line the catalogue lacks stays as it is).
QString ShownReason(const std::string& japanese) {
    const std::string_view whole = MessageIn(CurrentLanguage(), japanese);
    if (whole != japanese) return Utf8(whole).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    QString shown;
    for (const QString& line : Utf8(japanese).split(QLatin1Char('\n'))) {
        shown += Utf8(MessageIn(CurrentLanguage(), line.toStdString()));
    }
    return shown.remove(QLatin1Char('\r'));
}

// Why values are missing, as MissingValueReasons says it for the CSV's note, in the window's
// language (the CSV's stays Japanese).
std::vector<std::string> ShownReasons(const GroundMotionIndices& indices, const ComponentSet& set) {
    const auto oneLine = [](const std::string& text) { return ShownReason(text); };
    std::vector<std::string> reasons;
    for (const ComponentProblem& p : set.problems) reasons.push_back(ComponentProblemText(p));
    if (!indices.vector) {
        reasons.push_back((indices.horizontalSi ? IndicesTab::tr("計測震度と 3 成分合成の最大値：")
                                                : IndicesTab::tr("計測震度と合成の値："))
                              .append(oneLine(indices.threeComponentReason))
                              .toStdString());
        return reasons;
    }
    if (!indices.intensity) reasons.push_back(oneLine(indices.intensityReason).toStdString());
    if (!indices.horizontalSi) {
        reasons.push_back(IndicesTab::tr("水平 2 成分合成の SI 値：")
                              .append(oneLine(indices.pairReason))
                              .toStdString());
    }
    return reasons;
}

// A JMA intensity class as the window shows it: "5弱" is "5 Lower" in English.
QString ShownClass(const std::string& intensityClass) {
    QString shown = Utf8(intensityClass);
    if (shown.endsWith(QStringLiteral("弱"))) return IndicesTab::tr("%1弱").arg(shown.chopped(1));
    if (shown.endsWith(QStringLiteral("強"))) return IndicesTab::tr("%1強").arg(shown.chopped(1));
    return shown;
}

}  // namespace

struct IndicesTab::Result {
    ComponentSet set;
    GroundMotionIndices indices;
    std::string recordPath;
    std::vector<double> time;  // s, at each sample
    std::vector<IndicesRow> rows;
};

IndicesTab::IndicesTab() {
    txtLowCut = new QLineEdit(Utf8(NumberText(kDefaultLowCut)));
    txtLowCut->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtLowCut->setFixedWidth(70);
    chkFiles = new QCheckBox(tr("成分のファイルを指定(&M)"));
    // Read-only text beside the table, as high as the table: long file names wrap anywhere,
    // and more reasons than fit scroll instead of pushing the charts down.
    txtNotice = new QPlainTextEdit;
    txtNotice->setReadOnly(true);
    txtNotice->setFrameShape(QFrame::NoFrame);
    txtNotice->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    txtNotice->setStyleSheet(
        QStringLiteral("QPlainTextEdit { color: #b00000; background: transparent; }"));
    txtNotice->setMinimumWidth(160);
    table = new QTableWidget(kTableRows, static_cast<int>(kIndexColumns.size()));
    QStringList headings;
    for (const char* h : kHeadings) headings << tr(h);
    table->setHorizontalHeaderLabels(headings);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    acceleration = new StudyChartView;
    filtered = new StudyChartView;
    husid = new StudyChartView;
    velocity = new StudyChartView;
    displacement = new StudyChartView;
    spectrum = new StudyChartView;
    lblReadout = NewReadout();
    lblNoRecord = NewNotice();

    const std::pair<QObject*, const char*> names[] = {
        {lblNoRecord, "lblNoRecord"}, {txtLowCut, "txtLowCut"},
        {chkFiles, "chkFiles"},       {txtNotice, "txtNotice"},
        {table, "tblIndices"},        {acceleration, "chtAcceleration"},
        {filtered, "chtFiltered"},    {husid, "chtHusid"},
        {velocity, "chtVelocity"},    {displacement, "chtDisplacement"},
        {spectrum, "chtSiSpectrum"},  {lblReadout, "lblReadout"},
    };
    for (const auto& [object, name] : names) object->setObjectName(QString::fromLatin1(name));

    // One row of boxes, so that the charts keep the height.
    auto* boxes = new QHBoxLayout;
    auto* lowCutLabel = new QLabel(tr("低域遮断周波数(Hz)(&K)："));
    lowCutLabel->setBuddy(txtLowCut);
    const QString lowCutTip =
        tr("速度・変位を求める前に、加速度にかける 4 次バターワース・ハイパス"
           "フィルター（前後 2 回、位相ずれなし）の遮断周波数");
    lowCutLabel->setToolTip(lowCutTip);
    txtLowCut->setToolTip(lowCutTip);
    boxes->addWidget(lowCutLabel);
    boxes->addWidget(txtLowCut);
    boxes->addSpacing(12);
    boxes->addWidget(chkFiles);
    auto* files = boxes;
    for (std::size_t i = 0; i < txtFiles.size(); ++i) {
        const QString direction = Utf8(kDirectionNames[i]);
        txtFiles[i] = new QLineEdit;
        txtFiles[i]->setObjectName(QStringLiteral("txtFile") + direction);
        txtFiles[i]->setMinimumWidth(90);
        txtFiles[i]->setEnabled(false);
        cmdFiles[i] = new QToolButton;
        cmdFiles[i]->setText(QStringLiteral("..."));
        cmdFiles[i]->setObjectName(QStringLiteral("cmdFile") + direction);
        cmdFiles[i]->setToolTip(tr("%1 成分のファイルを選ぶ").arg(direction));
        cmdFiles[i]->setEnabled(false);
        auto* label = new QLabel(direction + tr("："));
        label->setBuddy(txtFiles[i]);
        files->addSpacing(8);
        files->addWidget(label);
        files->addWidget(txtFiles[i], 1);
        files->addWidget(cmdFiles[i]);
        const int slot = static_cast<int>(i);
        connect(cmdFiles[i], &QToolButton::clicked, this, [this, slot] { Browse(slot); });
    }
    connect(chkFiles, &QCheckBox::toggled, this, [this](bool on) {
        for (std::size_t i = 0; i < txtFiles.size(); ++i) {
            txtFiles[i]->setEnabled(on);
            cmdFiles[i]->setEnabled(on);
        }
    });

    StudyChartView* const views[] = {acceleration, filtered,     husid,
                                     velocity,     displacement, spectrum};
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 6; ++i) {
        SetChartMinimum(views[i], 23, 16.5);  // the axes and the legend drawn whole
        grid->addWidget(views[i], i / 3, i % 3);
        // The readout says what is under the pointer in the chart it is over.
        connect(views[i], &StudyChartView::pointerMoved, this,
                [this, i](double, double) { pointerChart_ = i; });
        FollowPointer(views[i]);
    }
    // The reasons for the values that are missing beside the table, where they take no
    // height of their own.
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(table, 0, Qt::AlignTop);
    tableRow->addSpacing(8);
    tableRow->addWidget(txtNotice, 1);
    charts_ = new QWidget;
    auto* inside = new QVBoxLayout(charts_);
    inside->setContentsMargins(0, 0, 0, 0);
    inside->addLayout(tableRow);
    inside->addLayout(grid, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblNoRecord);
    layout->addLayout(boxes);
    layout->addWidget(charts_, 1);
    layout->addWidget(lblReadout);

    askOpenFileName = [](QWidget* parent, const QString& caption, const QString& start) {
        return QFileDialog::getOpenFileName(parent, caption, start, QString(), nullptr,
                                            QFileDialog::DontUseNativeDialog);
    };
    FillTable();
    Draw();
}

IndicesTab::~IndicesTab() = default;

bool IndicesTab::HasResult() const {
    return result_ != nullptr;
}

QWidget* IndicesTab::Charts() {
    return charts_;
}

void IndicesTab::Browse(int slot) {
    const QString start = txtFiles[static_cast<std::size_t>(slot)]->text();
    const QString path =
        askOpenFileName(this, tr("%1 成分のファイルの選択").arg(Utf8(kDirectionNames[slot])),
                        start.isEmpty() ? txtFiles[0]->text() : start);
    if (!path.isEmpty()) txtFiles[static_cast<std::size_t>(slot)]->setText(path);
}

void IndicesTab::Compute(const StudyInputs& inputs, MessageService& messages) {
    result_.reset();
    txtNotice->clear();
    caption_ = RecordCaption(inputs);
    lblNoRecord->setText(NoRecordNotice(inputs));
    lblNoRecord->setVisible(!inputs.record);
    if (!inputs.record) {
        if (!chkFiles->isChecked()) {
            // No files were used: the boxes name none.
            for (std::size_t i = 0; i < txtFiles.size(); ++i) {
                shownFiles_[i] = {};
                txtFiles[i]->clear();
            }
        }
        FillTable();
        Draw();
        return;
    }
    auto refuse = [&](const QString& message, bool atLowCut) {
        messages.ShowMessage(message, kOkExclamation, tr("結果の検討"));
        if (atLowCut) txtLowCut->setFocus();
        FillTable();
        Draw();
    };
    const auto lowCut = ParseLowCut(txtLowCut->text().toStdString());
    if (!lowCut) return refuse(Utf8(lowCut.error().message), true);

    ComponentSetRead read;
    std::vector<std::string> reasons;  // beside the table, before those of the missing values
    std::string readFirst = inputs.recordPath;  // the file whose failure fails the read
    if (chkFiles->isChecked()) {
        // The boxes' files; the record the other tabs study is the one the others must fit.
        std::array<std::string, 3> paths;
        std::optional<std::size_t> reference;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            const QString text = txtFiles[i]->text().trimmed();
            paths[i] = !text.isEmpty() && text == shownFiles_[i].first
                           ? shownFiles_[i].second
                           : QFile::encodeName(text).toStdString();
            if (!reference && !paths[i].empty() && paths[i] == inputs.recordPath) reference = i;
        }
        if (std::all_of(paths.begin(), paths.end(), [](const auto& p) { return p.empty(); })) {
            return refuse(tr("成分のファイルが選ばれていません。"), false);
        }
        if (!reference) {
            reference = static_cast<std::size_t>(
                std::find_if(paths.begin(), paths.end(), [](const auto& p) { return !p.empty(); }) -
                paths.begin());
        }
        readFirst = paths[*reference];
        read = ReadChosenComponents(paths, reference);
    } else {
        read = WithRunRecord(ReadComponentSet(inputs.recordPath), inputs, reasons);
    }
    if (!read.ok()) {
        const FileMessage m = WaveErrorMessage(*read.error, Shown(readFirst).toStdString());
        return refuse(Utf8(m.prompt), false);
    }
    const std::vector<IndexComponent> components = IndexComponents(read.set);
    auto indices = ComputeIndices(components, read.set.timeStep(), IndexOptions{*lowCut});
    if (!indices) return refuse(Utf8(indices.error().message), indices.error().box == kLowCutBox);

    auto result = std::make_unique<Result>();
    result->set = std::move(read.set);
    result->indices = std::move(indices).value();
    result->recordPath = inputs.recordPath;
    const GroundMotionIndices& r = result->indices;
    result->time.resize(r.sampleCount);
    for (std::size_t i = 0; i < r.sampleCount; ++i) {
        result->time[i] = static_cast<double>(i) * r.timeStep;
    }
    result->rows = IndicesRows(r, result->set, result->recordPath);

    // The boxes show the files used; in their direction's box, or NS's when no name or
    // header says the direction.
    if (!chkFiles->isChecked()) {
        std::array<std::string, 3> used;
        for (const ComponentRecord& c : result->set.components) used[Slot(c)] = c.path;
        for (std::size_t i = 0; i < used.size(); ++i) {
            shownFiles_[i] = {Shown(used[i]), used[i]};
            txtFiles[i]->setText(shownFiles_[i].first);
            txtFiles[i]->setCursorPosition(static_cast<int>(shownFiles_[i].first.size()));
        }
    }
    for (std::string& reason : ShownReasons(r, result->set)) reasons.push_back(std::move(reason));
    if (!chkFiles->isChecked() && result->set.components.size() < 3) {
        reasons.push_back(
            tr("ほかの成分のファイルは「成分のファイルを指定」で選べます。").toStdString());
    }
    QStringList notice;
    for (const std::string& reason : reasons) notice << Utf8(reason);
    txtNotice->setPlainText(notice.join(QLatin1Char('\n')));

    // The caption: each file with its components, the step and the low-cut frequency.
    QStringList files;
    std::vector<std::pair<std::string, QStringList>> byFile;
    for (std::size_t i = 0; i < result->set.components.size(); ++i) {
        const std::string& path = result->set.components[i].path;
        auto at = std::find_if(byFile.begin(), byFile.end(),
                               [&](const auto& f) { return f.first == path; });
        if (at == byFile.end()) at = byFile.insert(byFile.end(), {path, {}});
        at->second << Utf8(r.components[i].name);
    }
    for (const auto& [path, names] : byFile) {
        // A component called by its file's name is the file alone.
        const QString file = QFileInfo(Shown(path)).fileName();
        files << (names == QStringList{file}
                      ? file
                      : QStringLiteral("%1 (%2)").arg(file, names.join(QStringLiteral(", "))));
    }
    caption_ =
        JoinCaption({tr("地震波 %1, Δt = %2 s")
                         .arg(files.join(QStringLiteral(", ")), Utf8(NumberText(r.timeStep))),
                     tr("速度・変位の低域遮断 %1 Hz").arg(Utf8(NumberText(*lowCut)))});
    result_ = std::move(result);
    FillTable();
    Draw();
}

void IndicesTab::FillTable() {
    table->clearContents();
    const int rows = result_ ? static_cast<int>(result_->rows.size()) : 0;
    table->setRowCount(std::max(rows, 1));
    QStringList names;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (row >= rows) {
            names << QString();
            continue;
        }
        const IndicesRow& r = result_->rows[static_cast<std::size_t>(row)];
        names << (r.component == kCompositeRowName ? tr("合成") : Utf8(r.component));
        const QString none = QStringLiteral("—");
        auto number = [&](std::optional<double> v) { return v ? ShortNumber(*v) : none; };
        const QString cells[] = {
            r.intensity ? Utf8(r.intensity->shown) : none,
            r.intensity ? ShownClass(r.intensity->intensityClass) : none,
            r.intensity ? Utf8(r.intensity->threeDecimals) : none,
            number(r.a),
            number(r.pga),
            number(r.pgv),
            number(r.pgd),
            number(r.si),
            number(r.arias),
            number(r.duration),
            number(r.cav),
        };
        for (int column = 0; column < static_cast<int>(std::size(cells)); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment((column == 1 ? Qt::AlignHCenter : Qt::AlignRight) |
                                   Qt::AlignVCenter);
            if (row + 1 == rows) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            table->setItem(row, column, item);
        }
    }
    table->setVerticalHeaderLabels(names);
    for (int row = 0; row < rows; ++row) {
        table->verticalHeaderItem(row)->setToolTip(
            Shown(result_->rows[static_cast<std::size_t>(row)].path));
    }
    // Every column as wide as its heading and its widest text, every row shown, without
    // scroll bars; the height of the rows of three components and the record, whatever
    // the record has.
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    const int margin = table->fontMetrics().height() / 2;
    int width = table->verticalHeader()->sizeHint().width() + 2 * table->frameWidth();
    for (int column = 0; column < table->columnCount(); ++column) {
        const int w = table->horizontalHeader()->sectionSize(column) + margin;
        table->horizontalHeader()->resizeSection(column, w);
        width += w;
    }
    const int rowHeight = std::max(table->rowHeight(0), table->fontMetrics().height() + 4);
    table->setFixedSize(width, table->horizontalHeader()->sizeHint().height() +
                                   kTableRows * rowHeight + 2 * table->frameWidth());
    txtNotice->setFixedHeight(table->height());
}

namespace {

// A time chart of some series against the record's time, the value axis titled.
struct Curve {
    QString name;
    QColor color;
    std::span<const double> values;
    qreal width = 1.2;
};

QList<QPointF> AddCurves(QChart* c, std::span<const double> x, std::span<const Curve> curves,
                         std::vector<QAbstractSeries*>& series, double x0, double x1) {
    QList<QPointF> all;
    for (const Curve& curve : curves) {
        QLineSeries* line = AddLine(c, curve.name, curve.color, curve.width);
        line->replace(Envelope(x, curve.values, x0, x1, kColumns));
        all += line->points();
        series.push_back(line);
    }
    return all;
}

QScatterSeries* AddMarks(QChart* c, const QString& name, const QColor& color, qreal size,
                         const QList<QPointF>& points) {
    auto* marks = new QScatterSeries;
    marks->setName(name);
    marks->setMarkerSize(size);
    marks->setColor(color);
    marks->setBorderColor(color);
    marks->replace(points);
    c->addSeries(marks);
    return marks;
}

// A value axis that takes in 0 and the points, with a little room above and below.
void SetValueAxis(QChart* c, const QString& title, const QList<QPointF>& points,
                  std::span<QAbstractSeries* const> series) {
    auto [low, high] = ValueRange(points);
    low = std::min(low, 0.0);
    high = std::max(high, 0.0);
    if (!(high > low)) high = low + 1;
    SetAxis(c, Qt::AlignLeft, false, title, low, high, series);
}

}  // namespace

void IndicesTab::Draw() {
    for (StudyChartView* view : {acceleration, filtered, husid, velocity, displacement, spectrum}) {
        view->chart()->removeAllSeries();
    }
    const Result* r = result_.get();
    const std::span<const double> time =
        r ? std::span<const double>(r->time) : std::span<const double>();
    const double end = time.size() > 1 ? time.back() : 1;
    const QString timeTitle = tr("時刻(s)");

    // One curve of each component, in its colour.
    auto perComponent = [&](StudyChartView* view, const QString& title, auto values) {
        std::vector<Curve> curves;
        if (r) {
            for (std::size_t i = 0; i < r->indices.components.size(); ++i) {
                curves.push_back(
                    Curve{Utf8(r->indices.components[i].name), kComponentColors[i], values(i)});
            }
        }
        std::vector<QAbstractSeries*> series;
        const QList<QPointF> points = AddCurves(view->chart(), time, curves, series, 0, end);
        SetAxis(view->chart(), Qt::AlignBottom, false, timeTitle, 0, end, series, false);
        SetValueAxis(view->chart(), title, points, series);
    };
    perComponent(acceleration, tr("加速度(cm/s2)"), [&](std::size_t i) {
        return std::span<const double>(r->set.components[i].record.samples);
    });
    perComponent(velocity, tr("速度(cm/s)"), [&](std::size_t i) {
        return std::span<const double>(r->indices.components[i].velocity);
    });
    perComponent(displacement, tr("変位(cm)"), [&](std::size_t i) {
        return std::span<const double>(r->indices.components[i].displacement);
    });

    // The Husid curves with the times of 5 % and 95 %.
    {
        QChart* c = husid->chart();
        std::vector<Curve> curves;
        QList<QPointF> marks;
        if (r) {
            for (std::size_t i = 0; i < r->indices.components.size(); ++i) {
                const ComponentIndices& ci = r->indices.components[i];
                curves.push_back(Curve{Utf8(ci.name), kComponentColors[i], ci.husid});
                if (ci.t5 && ci.t95) marks << QPointF(*ci.t5, 0.05) << QPointF(*ci.t95, 0.95);
            }
        }
        std::vector<QAbstractSeries*> series;
        AddCurves(c, time, curves, series, 0, end);
        if (!marks.isEmpty()) {
            series.push_back(AddMarks(c, tr("5 %・95 %"), Qt::black, 7, marks));
        }
        SetAxis(c, Qt::AlignBottom, false, timeTitle, 0, end, series, false);
        SetAxis(c, Qt::AlignLeft, false, tr("累積 Ia / Ia"), 0, 1, series);
    }

    // The intensity's vector: the level a and the samples at or above it, 0.3 s in all.
    {
        QChart* c = filtered->chart();
        std::vector<QAbstractSeries*> series;
        QList<QPointF> points;
        const SeismicIntensity* s = r && r->indices.intensity ? &*r->indices.intensity : nullptr;
        if (s) {
            const Curve curve{tr("フィルター後"), QColor(90, 60, 150), s->filteredVector};
            points = AddCurves(c, time, std::span(&curve, 1), series, 0, end);
            if (s->a > 0) {
                QLineSeries* level =
                    AddLine(c, QStringLiteral("a = %1").arg(ShortNumber(s->a)), kLevelColor, 1.2);
                QPen pen = level->pen();
                pen.setStyle(Qt::DashLine);
                level->setPen(pen);
                level->replace(QList<QPointF>{{0, s->a}, {end, s->a}});
                series.push_back(level);
                QList<QPointF> above;
                for (const std::size_t i : s->atOrAbove) {
                    if (i < time.size()) above << QPointF(time[i], s->filteredVector[i]);
                }
                series.push_back(AddMarks(c, tr("a 以上"), kLevelColor, 5, above));
                points += level->points();
            }
        }
        SetAxis(c, Qt::AlignBottom, false, timeTitle, 0, end, series, false);
        SetValueAxis(c, tr("加速度(cm/s2)"), points, series);
    }

    // Sv of the SI oscillators (h = 20 %) over 0.1 to 2.5 s: SI is their mean.
    {
        QChart* c = spectrum->chart();
        std::vector<QAbstractSeries*> series;
        QList<QPointF> points;
        const SpectrumIntensity* si = r && r->indices.spectrum ? &*r->indices.spectrum : nullptr;
        if (si) {
            std::vector<Curve> curves;
            std::vector<std::size_t> horizontal;
            for (std::size_t i = 0; i < r->indices.components.size(); ++i) {
                if (r->indices.components[i].horizontal) horizontal.push_back(i);
            }
            const std::vector<double>* svs[] = {&si->firstSv, &si->secondSv};
            for (std::size_t k = 0; k < 2 && k < horizontal.size(); ++k) {
                if (svs[k]->empty()) continue;
                curves.push_back(Curve{Utf8(r->indices.components[horizontal[k]].name),
                                       kComponentColors[horizontal[k]], *svs[k]});
            }
            if (!si->pairSv.empty() && r->indices.horizontalSi) {
                curves.push_back(Curve{tr("水平合成"), QColor(90, 60, 150), si->pairSv, 2.0});
            }
            points =
                AddCurves(c, si->periods, curves, series, si->periods.front(), si->periods.back());
        }
        SetAxis(c, Qt::AlignBottom, false, tr("周期(s) (h = 20 %)"), 0.1, 2.5, series, false);
        SetValueAxis(c, QStringLiteral("Sv(cm/s)"), points, series);
    }
}

void IndicesTab::ShowReadout(double x) {
    if (!result_) return;
    const Result& r = *result_;
    const GroundMotionIndices& g = r.indices;
    const std::size_t n = r.time.size();
    if (pointerChart_ == 5) {
        if (!g.spectrum) return;
        const std::vector<double>& t = g.spectrum->periods;
        const auto at = std::lower_bound(t.begin(), t.end(), x);
        std::size_t i = static_cast<std::size_t>(at - t.begin());
        if (i == t.size() || (i > 0 && x - t[i - 1] < t[i] - x)) --i;
        QString text = tr("周期 %1 s　Sv").arg(ShortNumber(t[i]));
        std::size_t k = 0;
        for (const ComponentIndices& c : g.components) {
            if (!c.horizontal || k >= 2) continue;
            const std::vector<double>& sv = k++ == 0 ? g.spectrum->firstSv : g.spectrum->secondSv;
            if (i < sv.size()) text += tr("　%1 %2").arg(Utf8(c.name), ShortNumber(sv[i]));
        }
        if (i < g.spectrum->pairSv.size()) {
            text += tr("　合成 %1").arg(ShortNumber(g.spectrum->pairSv[i]));
        }
        lblReadout->setText(text + QStringLiteral(" cm/s"));
        return;
    }
    if (n == 0) return;
    const double step = g.timeStep;
    const double at = std::clamp(std::round(x / step), 0.0, static_cast<double>(n - 1));
    const std::size_t i = static_cast<std::size_t>(at);
    QString text = tr("時刻 %1 s　").arg(ShortNumber(r.time[i]));
    auto each = [&](auto value, const QString& unit) {
        QStringList parts;
        for (std::size_t c = 0; c < g.components.size(); ++c) {
            parts << QStringLiteral("%1 %2").arg(Utf8(g.components[c].name), ShortNumber(value(c)));
        }
        return parts.join(tr("　")) + QLatin1Char(' ') + unit;
    };
    switch (pointerChart_) {
        case 0:
            text += each([&](std::size_t c) { return r.set.components[c].record.samples[i]; },
                         QStringLiteral("cm/s2"));
            break;
        case 1:
            if (!g.intensity) return;
            text +=
                tr("フィルター後の合成 %1 cm/s2（a = %2 cm/s2）")
                    .arg(ShortNumber(g.intensity->filteredVector[i]), ShortNumber(g.intensity->a));
            break;
        case 2:
            text += each([&](std::size_t c) { return g.components[c].husid[i] * 100; },
                         QStringLiteral("%"));
            break;
        case 3:
            text += each([&](std::size_t c) { return g.components[c].velocity[i]; },
                         QStringLiteral("cm/s"));
            break;
        default:
            text += each([&](std::size_t c) { return g.components[c].displacement[i]; },
                         QStringLiteral("cm"));
            break;
    }
    lblReadout->setText(text);
}

QByteArray IndicesTab::CsvBytes(QString& why) const {
    if (!result_) return {};
    return CsvBytesOf([this](std::ostream& out) { return WriteIndicesCsv(out, result_->rows); },
                      why);
}

}  // namespace kestrel
