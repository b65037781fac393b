#include "traffic/TrafficLogView.h"

#include "traffic/ImageList.h"
#include "traffic/TrafficExport.h"
#include "traffic/TrafficFilterBar.h"
#include "traffic/TrafficLogFormat.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>
#include <QCoreApplication>

#include <algorithm>

namespace vpx {

namespace {

// The record behind a row of whichever model the list shows.
const TTrafficRecord* RecordOf(const QModelIndex& index)
{
    if (const auto* log = qobject_cast<const TTrafficLogModel*>(index.model()))
        return log->Record(index);
    if (const auto* filtered = qobject_cast<const TTrafficLogFilterModel*>(index.model()))
        return filtered->Record(index);
    return nullptr;
}

const TTrafficLogModel* LogModelOf(const QModelIndex& index)
{
    if (const auto* log = qobject_cast<const TTrafficLogModel*>(index.model()))
        return log;
    if (const auto* filtered = qobject_cast<const TTrafficLogFilterModel*>(index.model()))
        return &filtered->Source();
    return nullptr;
}

} // namespace

TTrafficLogDelegate::TTrafficLogDelegate(const QHeaderView& header, const QHeaderView& timeHeader, QObject* parent)
    : QAbstractItemDelegate(parent), m_header(header), m_timeHeader(timeHeader), m_font(LogFont(LogFontPixels))
{
}

LogColumns TTrafficLogDelegate::Columns() const
{
    return {m_header.sectionSize(0), m_header.sectionSize(1), m_header.sectionSize(2)};
}

QSize TTrafficLogDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return {0, LogRowHeight};
}

void TTrafficLogDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    const TTrafficLogModel* model = LogModelOf(index);
    const TTrafficRecord* record = RecordOf(index);
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const QBrush background = option.palette.brush(group, selected ? QPalette::Highlight : QPalette::Base);
    const QColor text = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    QPaintDevice* device = painter->device();
    const QRect clip = painter->hasClipping() ? painter->clipBoundingRect().toAlignedRect()
                                              : QRect(0, 0, device->width(), device->height());
    // The row runs across the whole list, whatever width the view gives the item.
    const QRect row(option.rect.left(), option.rect.top(), std::max(option.rect.width(), device->width()),
                    option.rect.height());
    {
        TQPainterLogCanvas canvas(*painter, m_font, background, text, clip, ImageList::Shared());
        // The time column comes first; the log's own columns follow it as they always were.
        const int timeWidth = m_timeHeader.isHidden() ? 0 : m_timeHeader.sectionSize(0);
        if (timeWidth > 0) {
            const QRect time(row.left(), row.top(), timeWidth, row.height());
            canvas.FillRect(time);
            if (record)
                canvas.DrawText(time.adjusted(2, 0, -2, 0), QString::fromLatin1(FormatLogClock(record->Time)),
                                Qt::AlignLeft | Qt::AlignVCenter);
        }
        DrawLogRow(canvas, record, row.adjusted(timeWidth, 0, 0, 0), Columns(), model ? model->ViewType() : ViewHex,
                   model ? model->Offset() : 0);
    }
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = row;
        focus.backgroundColor = background.color();
        const QWidget* widget = option.widget;
        (widget ? widget->style() : QApplication::style())->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}

void TTrafficLogList::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Copy && OnCopy) {
        OnCopy();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void TTrafficLogList::CatchUp()
{
    if (!m_stale)
        return;
    m_stale = false;
    scheduleDelayedItemsLayout();
}

void TTrafficLogList::rowsInserted(const QModelIndex& parent, int start, int end)
{
    if (!m_defer)
        return QListView::rowsInserted(parent, start, end);
    // The list's own handling only throws its layout away and schedules a new one.
    m_stale = true;
    QAbstractItemView::rowsInserted(parent, start, end);
}

void TTrafficLogList::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    if (!m_defer)
        return QListView::rowsAboutToBeRemoved(parent, start, end);
    // The log hides no rows, so the list has nothing of its own to forget either.
    m_stale = true;
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
}

void TTrafficLogList::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                  const QList<int>& roles)
{
    if (!m_defer)
        QListView::dataChanged(topLeft, bottomRight, roles);
}

TTrafficLogView::TTrafficLogView(QWidget* parent) : QWidget(parent)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    m_filterBar = new TTrafficFilterBar(this);
    m_filterBar->hide();
    outer->addWidget(m_filterBar);

    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("tcViewType"));
    m_tabs->addTab(QCoreApplication::translate("TrafficLogView", "１６進"));
    m_tabs->addTab(QCoreApplication::translate("TrafficLogView", "１０進"));
    m_tabs->addTab(QStringLiteral("Ascii"));
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(true);
    m_tabs->setAttribute(Qt::WA_Hover); // hot-tracking
    outer->addWidget(m_tabs);

    // One page for all three tabs.
    auto* page = new QFrame(this);
    page->setFrameShape(QFrame::StyledPanel);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    outer->addWidget(page, 1);

    m_headerModel = new QStandardItemModel(0, 4, this);
    m_headerModel->setHorizontalHeaderLabels({QCoreApplication::translate("TrafficLogView", "アドレス"), QCoreApplication::translate("TrafficLogView", "ポート"),
                                              QCoreApplication::translate("TrafficLogView", "コマンド"), QCoreApplication::translate("TrafficLogView", "コメント")});
    m_header = new QHeaderView(Qt::Horizontal, page);
    m_header->setObjectName(QStringLiteral("Header"));
    m_header->setModel(m_headerModel);
    m_header->setSectionResizeMode(QHeaderView::Interactive);
    m_header->setStretchLastSection(true);
    m_header->setSectionsClickable(false);
    m_header->setMinimumSectionSize(0);
    m_header->setFixedHeight(25);
    m_header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int designWidths[] = {48, 39, 47, 45};
    for (int i = 0; i < 4; ++i)
        m_header->resizeSection(i, designWidths[i]);

    // The time column's header of its own, left of the four column sections,
    // which thus keep their meaning and their stored widths.
    m_timeHeaderModel = new QStandardItemModel(0, 1, this);
    m_timeHeaderModel->setHorizontalHeaderLabels({tr("時刻")});
    m_timeHeader = new QHeaderView(Qt::Horizontal, page);
    m_timeHeader->setObjectName(QStringLiteral("TimeHeader"));
    m_timeHeader->setModel(m_timeHeaderModel);
    m_timeHeader->setSectionResizeMode(QHeaderView::Interactive);
    m_timeHeader->setSectionsClickable(false);
    m_timeHeader->setFixedHeight(25);
    m_timeHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_timeHeader->resizeSection(0, QFontMetrics(LogFont(LogFontPixels)).horizontalAdvance(QStringLiteral("00:00:00.000")) + 6);
    m_timeHeader->setFixedWidth(m_timeHeader->sectionSize(0));
    m_timeHeader->hide();
    auto* headers = new QHBoxLayout;
    headers->setContentsMargins(0, 0, 0, 0);
    headers->setSpacing(0);
    headers->addWidget(m_timeHeader);
    headers->addWidget(m_header, 1);
    pageLayout->addLayout(headers);

    m_list = new TTrafficLogList(page);
    m_list->setObjectName(QStringLiteral("lstLog"));
    m_list->setUniformItemSizes(true);
    // Rows are selected for copying and saving; a selection stays on its records as traffic flows.
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setFont(LogFont(LogFontPixels));
    m_list->setModel(&m_model);
    m_delegate = new TTrafficLogDelegate(*m_header, *m_timeHeader, m_list);
    m_list->OnCopy = [this] { emit CopyRequested(); };
    m_list->setItemDelegate(m_delegate);
    pageLayout->addWidget(m_list, 1);

    auto* bottom = new QWidget(page);
    bottom->setObjectName(QStringLiteral("pnlLogBottom"));
    bottom->setFixedHeight(21);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->setSpacing(0);
    m_offsetLabel = new QLabel(QString::fromLatin1(FormatOffsetCaption(0)), bottom);
    m_offsetLabel->setObjectName(QStringLiteral("lblOffset"));
    m_offsetLabel->setFixedWidth(47);
    m_offsetLabel->setAlignment(Qt::AlignCenter);
    m_offsetLabel->setFont(LogFont(12));
    bottomLayout->addWidget(m_offsetLabel);
    m_scroll = new QScrollBar(Qt::Horizontal, bottom);
    m_scroll->setObjectName(QStringLiteral("sbLog"));
    m_scroll->setRange(0, MaxLogOffset);
    m_scroll->setPageStep(8);
    m_scroll->setSingleStep(1);
    bottomLayout->addWidget(m_scroll, 1);
    pageLayout->addWidget(bottom);

    m_refresh.setSingleShot(true);
    m_refresh.setInterval(RefreshInterval);
    connect(&m_refresh, &QTimer::timeout, this, &TTrafficLogView::ShowNewest);

    connect(m_tabs, &QTabBar::currentChanged, this, &TTrafficLogView::tcViewTypeChange);
    connect(m_scroll, &QScrollBar::valueChanged, this, &TTrafficLogView::sbLogChange);
    connect(m_header, &QHeaderView::sectionResized, this, &TTrafficLogView::HeaderSized);
    connect(m_timeHeader, &QHeaderView::sectionResized, this, [this](int, int, int size) {
        m_timeHeader->setFixedWidth(size);
        HeaderSized();
    });
    connect(m_filterBar, &TTrafficFilterBar::CriteriaEdited, this, &TTrafficLogView::ApplyFilter);
    ShowCount();
}

TTrafficLogView::~TTrafficLogView()
{
    // The list goes before the model it shows.
    m_list->setModel(nullptr);
}

void TTrafficLogView::AddTrafficRecord(TrafficRecordPtr record)
{
    if (!record)
        return;
    // The list stops painting until the refresh: rows that come and go in the
    // meantime cost the model's bookkeeping only, not a paint each.
    if (!m_refresh.isActive()) {
        m_list->setUpdatesEnabled(false);
        m_refresh.start();
    }
    m_list->SetDeferLayout(true);
    m_model.AddTrafficRecord(std::move(record));
    m_list->SetDeferLayout(false);
}

void TTrafficLogView::ShowNewest()
{
    m_refresh.stop();
    m_list->CatchUp();
    QItemSelectionModel* selection = m_list->selectionModel();
    const QModelIndexList rows = selection->selectedIndexes();
    bool follow = rows.isEmpty() || (rows.size() == 1 && SerialOfShownRow(rows.front().row()) == m_newestSerial);
    if (!follow) {
        MoveSelectionUp(PendingShift());
        // Every record the user chose has left the log: nothing is chosen any more.
        follow = !selection->hasSelection();
    }
    if (follow)
        SelectNewest();
    m_syncedShifts = m_model.Log().Shifts();
    ShowCount();
    // Enabling updates repaints the whole list once.
    if (!m_list->updatesEnabled())
        m_list->setUpdatesEnabled(true);
}

int TTrafficLogView::PendingShift() const
{
    if (ShownModel() != &m_model)
        return 0; // the filtered rows come and go as rows: the selection follows them
    return static_cast<int>(std::min<std::uint64_t>(m_model.Log().Shifts() - m_syncedShifts, MaxLogRecords));
}

std::uint64_t TTrafficLogView::SerialOfShownRow(int row) const
{
    const TTrafficLog& log = m_model.Log();
    const int logRow = ShownModel() == &m_model ? row - PendingShift() : m_filterModel.SourceRow(row);
    if (logRow < 0 || logRow >= log.Count())
        return UINT64_MAX;
    return log.FirstSerial() + static_cast<std::uint64_t>(logRow);
}

void TTrafficLogView::SelectNewest()
{
    QAbstractItemModel* shown = ShownModel();
    const int count = shown->rowCount();
    m_newestSerial = UINT64_MAX;
    if (count == 0)
        return;
    m_list->setCurrentIndex(shown->index(count - 1, 0));
    m_list->scrollToBottom();
    m_newestSerial = m_model.Log().FirstSerial() +
                     static_cast<std::uint64_t>(shown == &m_model ? count - 1 : m_filterModel.SourceRow(count - 1));
}

void TTrafficLogView::MoveSelectionUp(int rows)
{
    if (rows <= 0)
        return;
    QItemSelectionModel* selection = m_list->selectionModel();
    QItemSelection moved;
    for (const QItemSelectionRange& range : selection->selection()) {
        const int top = std::max(range.top() - rows, 0);
        const int bottom = range.bottom() - rows;
        if (bottom >= top)
            moved.select(m_model.index(top), m_model.index(bottom));
    }
    const int current = selection->currentIndex().row() - rows;
    selection->select(moved, QItemSelectionModel::ClearAndSelect);
    selection->setCurrentIndex(current >= 0 ? m_model.index(current) : QModelIndex(), QItemSelectionModel::NoUpdate);
}

void TTrafficLogView::ClearTrafficLog()
{
    m_model.ClearTrafficLog();
    ShowCount();
}

void TTrafficLogView::SetTimeColumnVisible(bool visible)
{
    m_timeHeader->setHidden(!visible);
    m_list->viewport()->update();
}

bool TTrafficLogView::TimeColumnVisible() const
{
    return !m_timeHeader->isHidden();
}

void TTrafficLogView::SetFilterRowVisible(bool visible)
{
    m_filterBar->setHidden(!visible);
    ApplyFilter();
}

bool TTrafficLogView::FilterRowVisible() const
{
    return !m_filterBar->isHidden();
}

QAbstractItemModel* TTrafficLogView::ShownModel() const
{
    return m_list->model();
}

void TTrafficLogView::ApplyFilter()
{
    if (m_filterBar->isHidden()) {
        m_filterModel.ResetFilter();
    } else if (!m_filterBar->PortValid()) {
        return; // marked in the row; the filter in force stays until the port reads right
    } else {
        const std::optional<std::size_t> error = m_filterModel.SetCriteria(m_filterBar->Criteria());
        m_filterBar->ShowPatternError(error);
    }
    // The log's own model while nothing is filtered: appends cost what they always did.
    QAbstractItemModel* wanted = m_filterModel.Active() ? static_cast<QAbstractItemModel*>(&m_filterModel)
                                                        : static_cast<QAbstractItemModel*>(&m_model);
    if (m_list->model() != wanted) {
        m_list->setModel(wanted);
        m_syncedShifts = m_model.Log().Shifts();
        SelectNewest();
    }
    ShowCount();
}

void TTrafficLogView::ShowCount()
{
    m_filterBar->ShowCount(ShownModel()->rowCount(), m_model.rowCount());
}

std::vector<const TTrafficRecord*> TTrafficLogView::AllRecords() const
{
    std::vector<const TTrafficRecord*> records;
    const TTrafficLog& log = m_model.Log();
    records.reserve(static_cast<std::size_t>(log.Count()));
    for (int row = 0; row < log.Count(); ++row)
        records.push_back(log.Record(row));
    return records;
}

std::vector<const TTrafficRecord*> TTrafficLogView::SelectedRecords() const
{
    QModelIndexList rows = m_list->selectionModel()->selectedIndexes();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    // Between two refreshes the selection's rows may be behind the records.
    const int shift = PendingShift();
    std::vector<const TTrafficRecord*> records;
    for (const QModelIndex& index : rows) {
        const QModelIndex now = shift == 0 ? index : m_model.index(index.row() - shift);
        if (const TTrafficRecord* record = RecordOf(now))
            records.push_back(record);
    }
    return records;
}

void TTrafficLogView::SetViewType(int viewType)
{
    if (viewType < ViewHex || viewType > ViewAscii)
        return;
    if (m_tabs->currentIndex() != viewType) {
        m_tabs->setCurrentIndex(viewType); // comes back here through tcViewTypeChange
        return;
    }
    m_model.SetViewType(viewType);
    m_list->viewport()->update();
    emit ViewTypeChanged(viewType);
}

int TTrafficLogView::GetViewType() const
{
    return m_tabs->currentIndex();
}

int TTrafficLogView::Offset() const
{
    return m_scroll->value();
}

void TTrafficLogView::SetOffset(int offset)
{
    m_scroll->setValue(offset);
}

void TTrafficLogView::tcViewTypeChange(int index)
{
    SetViewType(index);
}

void TTrafficLogView::sbLogChange(int position)
{
    m_model.SetOffset(position);
    m_list->viewport()->update();
    m_offsetLabel->setText(QString::fromLatin1(FormatOffsetCaption(position)));
}

void TTrafficLogView::HeaderSized()
{
    m_list->viewport()->update();
}

void TTrafficLogView::ResetColumnWidths()
{
    const int width = m_list->width();
    m_header->resizeSection(0, width / 4);
    m_header->resizeSection(1, width / 8);
    m_header->resizeSection(2, width / 4);
}

void TTrafficLogView::CutColumnsToHeader()
{
    const int width = m_header->width();
    for (int i = 0; i < 3; ++i) {
        const int size = m_header->sectionSize(i);
        if (size >= 0 && size > width)
            m_header->resizeSection(i, width);
    }
}

void TTrafficLogView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    CutColumnsToHeader();
}

} // namespace vpx
