#include "ui/library/library_form.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <algorithm>

#include "core/formats/song_files.h"
#include "core/library/song_table.h"
#include "core/messages.h"
#include "ui/common/form_anchors.h"
#include "ui/common/qt_text.h"
#include "ui/library/cover_frame.h"
#include "ui/library/library_texts.h"
#include "ui/library/song_list_view.h"
#include "ui/library/song_table_model.h"

namespace vx::ui {
namespace {

// The figure turns red once the song list would grow past what the game is known to load.
const QColor kListSizeOk(0, 0, 200);
const QColor kListSizeTooBig(200, 0, 0);

}  // namespace

LibraryForm::LibraryForm(QWidget* form, SongTableModel* model) : m_form(form) {
  const QFont font = SetUpForm();
  m_digitsOnly = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_form);
  BuildLeftColumn();
  BuildSongList(model, font);
  BuildEditorRow();
  Anchor();
}

QLabel* LibraryForm::Label(const char* text, QRect rect, const char* name) {
  auto* label = new QLabel(QString::fromUtf8(text), m_form);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(rect);
  return label;
}

QPushButton* LibraryForm::Button(const char* text, QRect rect, const char* name) {
  auto* button = new QPushButton(QString::fromUtf8(text), m_form);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(rect);
  return button;
}

QLineEdit* LibraryForm::Edit(QRect rect, const char* name) {
  auto* edit = new QLineEdit(m_form);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(rect);
  return edit;
}

QFont LibraryForm::SetUpForm() {
  QFont font;
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("NSimSun"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("Noto Serif CJK SC")});
  font.setPointSize(9);
  m_form->setFont(font);
  // The form may grow with the window (the table takes the room), never shrink below its placements.
  const QSize size = FormDlu.Size(kFormWidthUnits, kFormHeightUnits);
  m_form->setMinimumSize(size);
  m_form->resize(size);
  return font;
}

void LibraryForm::BuildLeftColumn() {
  m_cover = new CoverFrame(m_form);
  m_cover->setObjectName(QStringLiteral("coverFrame"));
  m_cover->setGeometry(FormDlu(7, 7, 160, 120));

  m_selectAll = new QCheckBox(QStringLiteral("全选"), m_form);
  m_selectAll->setObjectName(QStringLiteral("selectAll"));
  m_selectAll->setGeometry(FormDlu(7, 131, 32, 10));

  // Labels take the height of their fields and centre on it, so text and field share a middle line.
  Label("此文件夹歌曲数:", FormDlu(57, 133, 61, 12), "folderSongsLabel");
  m_folderSongs = Edit(FormDlu(127, 133, 26, 12), "folderSongs");
  m_folderSongs->setReadOnly(true);
  // Both figures right-aligned, as numbers are.
  m_folderSongs->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_folderSongs->setValidator(m_digitsOnly);

  m_calcListSize = Button("计算歌曲列表大小", FormDlu(7, 149, 84, 17), "calcListSize");
  m_listSize = Edit(FormDlu(101, 153, 26, 12), "listSize");
  m_listSize->setReadOnly(true);
  m_listSize->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_listSize->setValidator(m_digitsOnly);
  Label("KB", FormDlu(137, 153, 20, 12), "kbLabel");

  m_progress = new QProgressBar(m_form);
  m_progress->setObjectName(QStringLiteral("scanProgress"));
  m_progress->setGeometry(FormDlu(7, 181, 161, 17));
  m_progress->setTextVisible(false);
  m_progress->setRange(0, kMaxSongs);
  m_progress->reset();

  m_folderSettings = Button("目录设置", FormDlu(7, 215, 159, 23), "folderSettings");
  m_scan = Button(kScanButton.data(), FormDlu(7, 254, 159, 23), "scan");
  m_scan->setToolTip(FromUtf8(kScanTip));
}

void LibraryForm::BuildSongList(SongTableModel* model, const QFont& font) {
  m_list = new SongListView(m_form);
  m_list->setObjectName(QStringLiteral("songList"));
  m_list->setGeometry(FormDlu(176, 7, 423, 247));
  m_list->setModel(model);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_list->setShowGrid(false);
  m_list->setWordWrap(false);
  m_list->setSortingEnabled(false);
  m_list->verticalHeader()->hide();
  // Fixed row heights keep a 5000-row table from measuring every row.
  m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_list->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
  QHeaderView* header = m_list->horizontalHeader();
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // Qt's default minimum is the font's widest glyph, which for a CJK font under Windows' font engines is
  // wider than the narrow columns; the form's widths must hold everywhere.
  header->setMinimumSectionSize(16);
  for (int c = 0; c < kColumnCount; ++c)
    m_list->setColumnWidth(c, kColumns[static_cast<std::size_t>(c)].widthPx);
  m_list->SetFillColumn(kColTitle);
}

void LibraryForm::BuildEditorRow() {
  m_titleEdit = Edit(FormDlu(182, 261, 112, 16), "titleEdit");
  m_easyLabel = Label("简单", FormDlu(307, 261, 17, 16), "easyLabel");
  m_easyEdit = Edit(FormDlu(335, 261, 24, 16), "easyEdit");
  m_normalLabel = Label("普通", FormDlu(378, 261, 17, 16), "normalLabel");
  m_normalEdit = Edit(FormDlu(406, 261, 24, 16), "normalEdit");
  m_hardLabel = Label("困难", FormDlu(449, 261, 17, 16), "hardLabel");
  m_hardEdit = Edit(FormDlu(477, 261, 24, 16), "hardEdit");
  for (QLineEdit* level : {m_easyEdit, m_normalEdit, m_hardEdit}) level->setValidator(m_digitsOnly);
  m_save = Button("保存", FormDlu(537, 259, 62, 18), "save");
}

void LibraryForm::Anchor() {
  m_anchors = new FormAnchors(m_form);
  m_anchors->Add(m_list, FormAnchors::Anchor::kGrow);
  for (QWidget* control : std::initializer_list<QWidget*>{m_titleEdit, m_easyLabel, m_easyEdit, m_normalLabel,
                                                          m_normalEdit, m_hardLabel, m_hardEdit, m_save})
    m_anchors->Add(control, FormAnchors::Anchor::kFollowBottom);
}

void LibraryForm::SetRestSize(QSize rest) {
  m_anchors->SetRestSize(rest);
}

void LibraryForm::SetScanning(bool on) {
  for (QWidget* control :
       std::initializer_list<QWidget*>{m_cover, m_selectAll, m_calcListSize, m_folderSettings, m_list,
                                       m_titleEdit, m_easyEdit, m_normalEdit, m_hardEdit, m_save})
    control->setEnabled(!on);
  m_scan->setText(FromUtf8(on ? msg::kCancel : kScanButton));
  m_scan->setToolTip(FromUtf8(on ? kCancelScanTip : kScanTip));
  // Idle, the bar is empty and quiet: a full one left standing reads as work still going on.
  if (on)
    m_progress->setValue(0);
  else
    m_progress->reset();
}

void LibraryForm::ShowScanProgress(int done, int total) {
  m_progress->setMaximum(std::max(total, 1));
  m_progress->setValue(done);
}

FormFields LibraryForm::Read() const {
  return FormFields{m_selectAll->isChecked(),   m_folderSongs->text().toInt(),
                    m_listSize->text().toInt(), m_titleEdit->text(),
                    m_easyEdit->text(),         m_normalEdit->text(),
                    m_hardEdit->text()};
}

void LibraryForm::Show(const FormFields& fields) {
  m_selectAll->setChecked(fields.selectAll);
  m_folderSongs->setText(QString::number(fields.folderSongs));
  m_listSize->setText(QString::number(fields.listSizeKB));
  QPalette colour = m_listSize->palette();
  colour.setColor(QPalette::Text, fields.listSizeKB > kListSizeWarnKB ? kListSizeTooBig : kListSizeOk);
  m_listSize->setPalette(colour);
  m_titleEdit->setText(fields.title);
  m_easyEdit->setText(fields.easy);
  m_normalEdit->setText(fields.normal);
  m_hardEdit->setText(fields.hard);
}

}  // namespace vx::ui
