#include "traffic/TrafficLogView.h"

#include "traffic/ImageList.h"
#include "traffic/TrafficLogFormat.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>
#include <QCoreApplication>

namespace vpx {

TTrafficLogDelegate::TTrafficLogDelegate(const QHeaderView& header, QObject* parent)
    : QAbstractItemDelegate(parent), m_header(header), m_font(LogFont(LogFontPixels))
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
    const auto* model = qobject_cast<const TTrafficLogModel*>(index.model());
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
        DrawLogRow(canvas, model ? model->Record(index) : nullptr, row, Columns(),
                   model ? model->ViewType() : ViewHex, model ? model->Offset() : 0);
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
    pageLayout->addWidget(m_header);

    m_list = new TTrafficLogList(page);
    m_list->setObjectName(QStringLiteral("lstLog"));
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setFont(LogFont(LogFontPixels));
    m_list->setModel(&m_model);
    m_delegate = new TTrafficLogDelegate(*m_header, m_list);
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
    const int count = m_model.rowCount();
    if (count > 0) {
        m_list->setCurrentIndex(m_model.index(count - 1));
        m_list->scrollToBottom();
    }
    // Enabling updates repaints the whole list once.
    if (!m_list->updatesEnabled())
        m_list->setUpdatesEnabled(true);
}

void TTrafficLogView::ClearTrafficLog()
{
    m_model.ClearTrafficLog();
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
