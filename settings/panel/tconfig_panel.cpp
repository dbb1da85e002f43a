#include "settings/panel/tconfig_panel.h"

#include <algorithm>
#include <stdexcept>

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QMessageBox>
#include <QShortcut>
#include <QUrl>

#include "core/apply_restart.h"
#include "core/counter_reset.h"
#include "core/divisor_settings.h"
#include "core/int_text.h"
#include "core/interface_table.h"
#include "core/picture_folder.h"
#include "core/plovex_error.h"
#include "core/settings_schema.h"
#include "core/snmp_security.h"
#include "core/tick_cycle.h"
#include "history/usage_period.h"
#include "settings/panel/panel_rules.h"
#include "settings/panel/panel_tooltips.h"
#include "settings/panel/tinterface_dialog.h"
#include "settings/panel/usage_cap_text.h"
#include "snmp/tsnmp_send.h"
#include "snmp/usm_protocol.h"

namespace plovex {
namespace {

template <typename W>
W* Place(W* widget, const char* name, int x, int y, int w = -1, int h = -1) {
  widget->setObjectName(name);
  if (w < 0 || h < 0) {
    widget->adjustSize();
    widget->move(x, y);
    if (w >= 0) widget->resize(w, widget->height());
  } else {
    widget->setGeometry(x, y, w, h);
  }
  return widget;
}

QLabel* Label(QWidget* page, const char* name, const QString& text, int x, int y) {
  return Place(new QLabel(text, page), name, x, y);
}

QLineEdit* Edit(QWidget* page, const char* name, const QString& text, int x, int y, int w,
                int h = 21) {
  return Place(new QLineEdit(text, page), name, x, y, w, h);
}

QCheckBox* Check(QWidget* page, const char* name, const QString& caption, bool checked, int x,
                 int y, int w = -1) {
  auto* box = new QCheckBox(caption, page);
  box->setChecked(checked);
  return Place(box, name, x, y, w, w < 0 ? -1 : 17);
}

// A list box used as static text: no frame, the button face behind it, no
// selection, no focus.
QListWidget* NoteList(QWidget* page, const char* name, const QStringList& lines, int x, int y,
                      int w, int h) {
  auto* list = new QListWidget(page);
  list->setFrameShape(QFrame::NoFrame);
  list->setSelectionMode(QAbstractItemView::NoSelection);
  list->setFocusPolicy(Qt::NoFocus);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list->setTextElideMode(Qt::ElideNone);
  // A size smaller than the dialog font: the lines were written for a
  // narrower typeface and must fit the width of the list.
  QFont note = page->font();
  note.setPixelSize(10);
  list->setFont(note);
  QPalette pal = list->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Button));
  list->setPalette(pal);
  for (const QString& line : lines) {
    auto* item = new QListWidgetItem(line, list);
    item->setSizeHint(QSize(w, 13));
    item->setFlags(Qt::ItemIsEnabled);
  }
  return Place(list, name, x, y, w, h);
}

// A small "X" or "Y" caption to the right of a coordinate edit.
void AxisLabel(QWidget* page, const char* axis, const QLineEdit* edit) {
  auto* label = new QLabel(axis, page);
  label->adjustSize();
  label->move(edit->geometry().right() + 4, edit->y() + 4);
}

QString Decimal(std::int64_t v) { return QString::number(v); }
std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }
std::int32_t Number(const QLineEdit* edit) { return StrToInt(Text(edit)); }

// Keeps the application's busy cursor up for the length of a blocking call.
class BusyCursor {
 public:
  BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

TConfigPanel::TConfigPanel(TPlovexSettings& settings, PanelHost& host, QWidget* parent)
    : QWidget(parent), s_(settings), host_(host) {
  setObjectName("TConfigPanel");
  // The Windows version's dialog font size; "Arial" has the metrics the page
  // layout was made for (fontconfig gives Liberation Sans).
  QFont small("Arial");
  small.setPixelSize(11);
  setFont(small);

  TreeView1 = Place(new QTreeWidget(this), "TreeView1", 0, 0, 105, 145);
  Button1 = Place(new QPushButton("Apply", this), "Button1", 0, 148, 41, 17);
  Button4 = Place(new QPushButton("Cancel", this), "Button4", 56, 148, 49, 17);
  PageControl2 = Place(new QStackedWidget(this), "PageControl2", 106, 0, 308, 174);
  cdialOID = new QColorDialog(this);
  cdialOID->setObjectName("cdialOID");

  BuildTree();
  for (const PanelNode& node : kPanelNodes) AddPage(node.page_caption);
  // The pages bind their controls as they build them, in the order in which
  // ControlsToSettings takes them: it stops at the first edit that is not a
  // number, and the fields before it keep their new values.
  BuildAboutPage();
  BuildNetworkPage();
  BuildSnmpPage();
  BuildGraphPage();
  BuildTicksPage();
  BuildRefreshPage();
  BuildGifPage();
  BuildChannelPage(1);
  BuildChannelPage(2);
  BuildTextPage();
  for (int k = 1; k <= 5; ++k) BuildOverlayPage(k);
  BuildResetPage();
  BuildUsagePage();
  BuildNotificationsPage();

  choose_color_ = [this](Color initial) -> std::optional<Color> {
    cdialOID->setCurrentColor(ToQColor(initial));
    if (cdialOID->exec() != QDialog::Accepted) return std::nullopt;
    return FromQColor(cdialOID->selectedColor());
  };

  connect(TreeView1, &QTreeWidget::itemClicked, this, &TConfigPanel::TreeView1Click);
  // The page follows the tree's current node from the keyboard too (arrows,
  // Home, End). Enter applies and Escape cancels, as in a dialog; Enter on a
  // focused button presses that button.
  connect(TreeView1, &QTreeWidget::currentItemChanged, this, &TConfigPanel::TreeView1Click);
  const auto enter = [this] {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->click();
    } else {
      Button1Click();
    }
  };
  for (int key : {Qt::Key_Return, Qt::Key_Enter}) {
    new QShortcut(QKeySequence(key), this, enter, Qt::WidgetWithChildrenShortcut);
  }
  new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &TConfigPanel::Button4Click,
                Qt::WidgetWithChildrenShortcut);
  connect(Button1, &QPushButton::clicked, this, &TConfigPanel::Button1Click);
  connect(Button4, &QPushButton::clicked, this, &TConfigPanel::Button4Click);
  connect(channels_[0].btn, &QPushButton::clicked, this, &TConfigPanel::btnOID1Click);
  connect(channels_[0].btnMax, &QPushButton::clicked, this, &TConfigPanel::btnOID1MaxClick);
  connect(channels_[1].btn, &QPushButton::clicked, this, &TConfigPanel::btnOID2Click);
  connect(channels_[1].btnMax, &QPushButton::clicked, this, &TConfigPanel::btnOID2MaxClick);
  connect(BtnResetOID1, &QPushButton::clicked, this, &TConfigPanel::BtnResetOID1Click);
  connect(BtnResetOID2, &QPushButton::clicked, this, &TConfigPanel::BtnResetOID2Click);
  connect(BtnClearOID1, &QPushButton::clicked, this, &TConfigPanel::BtnClearOID1Click);
  connect(BtnClearOID2, &QPushButton::clicked, this, &TConfigPanel::BtnClearOID2Click);

  // The initial state of every control is the setting's default.
  TPlovexSettings defaults;
  ApplyDefaultSettings(defaults);
  FillControls(defaults);
  ShowPage(0);
  AddToolTips();
}

void TConfigPanel::AddToolTips() {
  const auto add = [this](const PanelToolTip& tip, int digit) {
    const QString d = QString::number(digit);
    if (auto* w = findChild<QWidget*>(QString(tip.name).replace('#', d)))
      w->setToolTip(QString(tip.text).replace('#', d));
  };
  for (const PanelToolTip& tip : kPanelToolTips) {
    const bool per_channel = QString(tip.name).contains('#');
    for (int k = 1; k <= (per_channel ? 2 : 1); ++k) add(tip, k);
  }
  for (const PanelToolTip& tip : kOverlayToolTips)
    for (int k = 1; k <= 5; ++k) add(tip, k);
}

void TConfigPanel::BuildTree() {
  TreeView1->setHeaderHidden(true);
  TreeView1->setIndentation(19);
  TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The nodes fit the tree's width even expanded: a horizontal bar would
  // only eat a row.
  TreeView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  TreeView1->header()->setStretchLastSection(true);
  std::vector<QTreeWidgetItem*> items;
  for (const PanelNode& node : kPanelNodes) {
    QTreeWidgetItem* item =
        node.parent < 0 ? new QTreeWidgetItem(TreeView1) : new QTreeWidgetItem(items[node.parent]);
    item->setText(0, node.text);
    items.push_back(item);
  }
  TreeView1->collapseAll();
}

void TConfigPanel::AddPage(const char* caption) {
  auto* page = new QWidget(PageControl2);
  page->setObjectName(QString("page") + QString(caption).remove(' '));
  page->setWindowTitle(caption);
  PageControl2->addWidget(page);
}

QWidget* TConfigPanel::Page(const QString& caption) const {
  for (int i = 0; i < PageControl2->count(); ++i) {
    if (PageControl2->widget(i)->windowTitle() == caption) return PageControl2->widget(i);
  }
  throw std::logic_error("no page \"" + caption.toStdString() + "\"");
}

void TConfigPanel::BuildAboutPage() {
  QWidget* page = Page("About");
  Image2 = Place(new QLabel(page), "Image2", 8, 8, 33, 33);
  SetAppIcon(QApplication::windowIcon());
  Label(page, "lblAppVersion", "Plovex v1.2.1", 48, 24);
  NoteList(page, "lbExplainApp",
           {"I first wrote Plovex to watch the activity of my own",
            "router at home: the programs I tried were either too",
            "complicated or too far from what I wanted.", "",
            "It polls two counters of any SNMP agent and draws",
            "them, with a few more values written over the graph.", "",
            "This is still an early beta, so expect rough edges.", "",
            "Many thanks to everyone who sent ideas, bug reports", "and help along the way."},
           8, 48, 289, 105);
  for (auto [name, text] : {std::pair{"lblHomepage", "kestrune.example/plovex"},
                            std::pair{"lblEmail", "me@kestrune.example"}}) {
    QLabel* label = Label(page, name, text, 8, 160);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(pal);
  }
  // The address ends where the notes do, whatever width the font gives it.
  QLabel* email = page->findChild<QLabel*>("lblEmail");
  email->move(8 + 289 - email->width(), email->y());
}

void TConfigPanel::BuildNetworkPage() {
  QWidget* page = Page("Network");
  NoteList(page, "lbExplainIP",
           {"Here you need to put the IP you are monitoring. In most case",
            "this will be the IP of your router, By default it's set to ", "192.168.1.1"},
           8, 8, 297, 41);
  Label(page, "lblIP", "Monitored IP :", 8, 60);
  const SchemaRowHandles& rows = SchemaRows();
  edtIP = Bind(rows.Ip, Edit(page, "edtIP", "", 80, 56, 97));
  edtIP->setToolTip("The address or host name of the router (or any SNMP agent) to watch");
  btnTest = Place(new QPushButton("Test", page), "btnTest", 184, 55, 49, 23);
  btnTest->setToolTip("Asks the host for its name with the settings as typed, without applying");
  NoteList(page, "lbExplainCommunity",
           {"This is the SNMP read community. If you don't know ",
            "what it is, just leave it as \"tamrel\""},
           8, 96, 289, 33);
  Label(page, "lblCommunity", "Community : ", 8, 140);
  edtCommunity = Bind(rows.Community, Edit(page, "edtCommunity", "", 80, 136, 97));
  edtCommunity->setToolTip(
      "The read community of SNMP versions 1 and 2c (a password sent in "
      "clear); version 3 uses the user on the SNMP page");
  // The answer of "Test", below everything it tested: one line, whole in its
  // tooltip.
  lblTestResult = Place(new QLabel(page), "lblTestResult", 8, 160, 297, 14);
  lblTestResult->setTextFormat(Qt::PlainText);
  lblTestResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  connect(btnTest, &QPushButton::clicked, this, &TConfigPanel::btnTestClick);
}

void TConfigPanel::BuildSnmpPage() {
  QWidget* page = Page(kSnmpPageCaption);
  const SchemaRowHandles& rows = SchemaRows();
  Label(page, "lblSnmpVersion", "SNMP version :", 8, 12);
  cbSnmpVersion = Place(new QComboBox(page), "cbSnmpVersion", 96, 8, 57, 21);
  cbSnmpVersion->addItems({"1", "2c", "3"});
  Bind(rows.SnmpVersion, cbSnmpVersion);
  cbSnmpVersion->setToolTip(
      "The SNMP version the router speaks: 1 and 2c use the community, "
      "3 a user with its keys");
  Label(page, "lblSnmpUser", "User :", 8, 40);
  edtSnmpUser = Bind(rows.SnmpUser, Edit(page, "edtSnmpUser", "", 96, 36, 113));
  edtSnmpUser->setToolTip("The version 3 user name configured in the router");
  Label(page, "lblSnmpAuth", "Authentication :", 8, 68);
  cbSnmpAuth = Place(new QComboBox(page), "cbSnmpAuth", 96, 64, 81, 21);
  for (const std::string_view name : UsmAuthNames()) cbSnmpAuth->addItem(QString::fromUtf8(name));
  Bind(rows.SnmpAuthProtocol, cbSnmpAuth);
  cbSnmpAuth->setToolTip("How the user's messages are signed; empty for none");
  Label(page, "lblAuthPass", "Passphrase :", 8, 96);
  edtAuthPass = Edit(page, "edtAuthPass", "", 96, 92, 113);
  edtAuthPass->setToolTip(
      "The authentication passphrase (8 characters or more); empty keeps "
      "the stored key, which is never shown");
  Label(page, "lblSnmpPriv", "Privacy :", 8, 124);
  cbSnmpPriv = Place(new QComboBox(page), "cbSnmpPriv", 96, 120, 81, 21);
  for (const std::string_view name : UsmPrivNames()) cbSnmpPriv->addItem(QString::fromUtf8(name));
  Bind(rows.SnmpPrivProtocol, cbSnmpPriv);
  cbSnmpPriv->setToolTip("How the user's messages are encrypted; empty for none");
  Label(page, "lblPrivPass", "Passphrase :", 8, 152);
  edtPrivPass = Edit(page, "edtPrivPass", "", 96, 148, 113);
  edtPrivPass->setToolTip(
      "The privacy passphrase (8 characters or more); empty keeps the "
      "stored key, which is never shown");
  for (QLineEdit* e : {edtAuthPass, edtPrivPass}) e->setEchoMode(QLineEdit::Password);
  ShowStoredKeys();
  connect(cbSnmpVersion, &QComboBox::currentTextChanged, this, &TConfigPanel::SnmpVersionChosen);
}

void TConfigPanel::ShowStoredKeys() {
  // An empty passphrase keeps the stored key: say whether there is one.
  edtAuthPass->setPlaceholderText(s_.SnmpAuthKey.empty() ? "not set" : "unchanged");
  edtPrivPass->setPlaceholderText(s_.SnmpPrivKey.empty() ? "not set" : "unchanged");
}

void TConfigPanel::SnmpVersionChosen() {
  const bool v3 = cbSnmpVersion->currentText() == "3";
  edtCommunity->setEnabled(!v3);
  for (QWidget* w : std::initializer_list<QWidget*>{edtSnmpUser, cbSnmpAuth, edtAuthPass,
                                                    cbSnmpPriv, edtPrivPass}) {
    w->setEnabled(v3);
  }
}

void TConfigPanel::BuildGraphPage() {
  QWidget* page = Page("Graph");
  const SchemaRowHandles& rows = SchemaRows();
  Label(page, "lblMaximum", "Maximum WAN throughput : ", 8, 12);
  edtMax = Bind(rows.MaxBytes, Edit(page, "edtMax", "", 152, 8, 57));
  Label(page, "lblBytes", "Bytes", 216, 12);
  // Bytes per second are not what a line is sold in.
  lblMaxRate = Place(new QLabel(page), "lblMaxRate", 152, 30, 150, 12);
  connect(edtMax, &QLineEdit::textChanged, this, &TConfigPanel::ShowMaxRate);
  Label(page, "lblTxtSize", "Default text size : ", 8, 44);
  edtTextSize = Edit(page, "edtTextSize", "", 96, 42, 25);
  udTextSize = Bind(rows.TextSize,
                    Place(new TUpDown(edtTextSize, {1, 72}, page), "udTextSize", 121, 42, 15, 21));
  Label(page, "lblGraphCoord", "Graph coordinates :", 8, 72);
  edtGTX = Bind(rows.GraphTopX, Edit(page, "edtGTX", "", 16, 88, 33));
  edtGTY = Bind(rows.GraphTopY, Edit(page, "edtGTY", "", 64, 88, 33));
  edtGBX = Bind(rows.GraphBottomX, Edit(page, "edtGBX", "", 16, 112, 33));
  edtGBY = Bind(rows.GraphBottomY, Edit(page, "edtGBY", "", 64, 112, 33));
  for (QLineEdit* e : {edtGTX, edtGBX}) AxisLabel(page, "X", e);
  for (QLineEdit* e : {edtGTY, edtGBY}) AxisLabel(page, "Y", e);
  chkTotal = Bind(rows.ShowTotal, Check(page, "chkTotal", "OID 1 && 2 Total", false, 152, 76));
  edtTotalX = Bind(rows.TotalX, Edit(page, "edtTotalX", "", 152, 96, 33));
  edtTotalY = Bind(rows.TotalY, Edit(page, "edtTotalY", "", 200, 96, 33));
  AxisLabel(page, "X", edtTotalX);
  AxisLabel(page, "Y", edtTotalY);
  chkSaveGIF = Bind(rows.SaveGif, Check(page, "chkSaveGIF", "Save to GIF every", false, 16, 150));
  edtSaveGifFreq = Edit(page, "edtSaveGifFreq", "", 128, 144, 33);
  udSaveGifFreq = Bind(rows.SaveGifFreq, Place(new TUpDown(edtSaveGifFreq, {0, 60}, page),
                                               "udSaveGifFreq", 161, 144, 15, 21));
  Label(page, "Label1", "minutes", 184, 152);
}

void TConfigPanel::BuildChannelPage(int k) {
  const bool one = k == 1;
  QWidget* page = Page(one ? "GraphOID1" : "GraphOID2");
  const QString n = QString::number(k);
  auto name = [&](const char* prefix, const char* suffix = "") {
    return (QString(prefix) + "OID" + n + suffix).toLatin1();
  };
  ChannelControls& c = channels_[k - 1];
  const ChannelRows& rows = SchemaRows().Channels[k];
  c.shp = Bind(rows.Color, Place(new TColorSwatch(page), name("shp").constData(), 8, 16, 25, 25));
  c.btn = Place(new QPushButton("Normal color", page), name("btn").constData(), 40, 16, 81, 25);
  c.shpMax = Bind(rows.MaxColor,
                  Place(new TColorSwatch(page), name("shp", "Max").constData(), 136, 16, 25, 25));
  c.btnMax = Place(new QPushButton("Maximum color", page), name("btn", "Max").constData(), 168, 16,
                   89, 25);
  c.chkFull =
      Bind(rows.FullBars, Check(page, name("chkFull").constData(), "Full bars", false, 8, 48));
  c.chkGradient = Check(page, name("chkGradient").constData(), "Gradient", false, 80, 48);
  Label(page, name("lblText").constData(), "Text position : ", 10, 96);
  c.edtX = Bind(rows.TextX, Edit(page, name("edtX").constData(), "", 82, 92, 33));
  c.edtY = Bind(rows.TextY, Edit(page, name("edtY").constData(), "", 132, 92, 33));
  AxisLabel(page, "X", c.edtX);
  AxisLabel(page, "Y", c.edtY);
  Label(page, name("lbl").constData(), one ? "OID 1 : " : "OID 2 : ", 8, 156);
  c.edtOID = Bind(rows.Oid, Edit(page, name("edt").constData(), "", 48, 152, 249));
  // Made beside the bar style, taken after the identifier.
  Bind(rows.Gradient, c.chkGradient);
  c.btnInterfaces = Place(new QPushButton("Interfaces\u2026", page),
                          name("btnInterfaces").constData(), 8, 120, 77, 23);
  connect(c.btnInterfaces, &QPushButton::clicked, this, &TConfigPanel::btnInterfacesClick);
  if (one) {
    Label(page, "lblInterface", "Interface :", 92, 125);
    edtInterface = Bind(SchemaRows().Interface, Edit(page, "edtInterface", "", 148, 121, 149));
  }
}

void TConfigPanel::BuildTicksPage() {
  QWidget* page = Page("Ticks");
  const SchemaRowHandles& rows = SchemaRows();
  chkVticks = Bind(rows.VTicks, Check(page, "chkVticks", "Vertical ticks ( 0% 25% 50% 75% 100% )",
                                      false, 8, 16, 209));
  // 209 was wide enough for the caption in the Windows typeface.
  chkVticks->resize(std::max(209, chkVticks->sizeHint().width()), chkVticks->height());
  chkHticks = Bind(rows.HTicks, Check(page, "chkHticks", "Horizontal ticks", false, 8, 40));
  chkGLabel = Bind(rows.GraphLabel, Check(page, "chkGLabel", "Graph Vertical Label", false, 8, 64));
}

void TConfigPanel::BuildRefreshPage() {
  QWidget* page = Page("Refresh");
  Label(page, "lblRefresh", "Refresh every : ", 8, 16);
  edtRefresh = Edit(page, "edtRefresh", "", 88, 12, 33);
  udRefresh = Place(new TUpDown(edtRefresh, {1, 3600}, page), "udRefresh", 121, 12, 15, 21);
  // Read from the edit as typed; the position lands inside the range.
  Bind(SchemaRows().Refresh, edtRefresh, udRefresh);
  Label(page, "lblRefS", "s", 142, 16);
  Label(page, "lblTickFreq", "Tick every : ", 8, 44);
  edtTickFreq = Edit(page, "edtTickFreq", "", 88, 40, 33);
  udTickFreq = Place(new TUpDown(edtTickFreq, {1, 1440}, page), "udTickFreq", 121, 40, 15, 21);
  Bind(SchemaRows().TickFreq, edtTickFreq, udTickFreq);
  Label(page, "lblTickMin", "min", 144, 44);
}

void TConfigPanel::BuildGifPage() {
  QWidget* page = Page("GIF");
  NoteList(page, "lbExplainGifFolder",
           {"Plovex.gif, its time-stamped copies and PlovexSnapShot.gif",
            "are written into this folder. Left empty, they go to",
            QString::fromStdString(DesktopPictureFolder())},
           8, 8, 297, 41);
  Label(page, "lblGifFolder", "Folder :", 8, 60);
  edtGifFolder = Bind(SchemaRows().GifFolder, Edit(page, "edtGifFolder", "", 56, 56, 241));
  edtGifFolder->setPlaceholderText(QString::fromStdString(DesktopPictureFolder()));
  auto* browse = Place(new QPushButton("Browse...", page), "btnGifFolder", 56, 84, 75, 25);
  auto* open = Place(new QPushButton("Open", page), "btnOpenGifFolder", 136, 84, 75, 25);
  // The folder the pictures go to: as typed, else the window's default.
  auto folder = [this] {
    const QString typed = edtGifFolder->text();
    return QString::fromStdString(typed.isEmpty() ? DesktopPictureFolder()
                                                  : ExpandHome(typed.toStdString()));
  };
  choose_folder_ = [this](const QString& start) -> std::optional<QString> {
    const QString chosen = QFileDialog::getExistingDirectory(this, "Picture folder", start);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
  };
  open_folder_ = [](const QString& f) { QDesktopServices::openUrl(QUrl::fromLocalFile(f)); };
  connect(browse, &QPushButton::clicked, this, [this, folder] {
    if (const std::optional<QString> chosen = choose_folder_(folder()))
      edtGifFolder->setText(*chosen);
  });
  connect(open, &QPushButton::clicked, this, [this, folder] {
    // The default is made on first use; open it even before the first
    // picture. One that cannot be made fails to open, visibly.
    if (edtGifFolder->text().isEmpty()) (void)CreateFolder(folder().toStdString());
    open_folder_(folder());
  });
}

void TConfigPanel::BuildTextPage() {
  QWidget* page = Page("Text");
  NoteList(page, "ListBox1",
           {"Those five text strings permits to add what you want to ", "your graph.", "",
            "For example if you put the system OID in %1, you can ",
            "display this information by settings the string to : \"This is",
            "my system : %1\". Then just put in X and Y the",
            "coordinates where you want your text displayed."},
           8, 8, 281, 153);
}

void TConfigPanel::BuildOverlayPage(int k) {
  const QString n = QString::number(k);
  QWidget* page = Page(QString("Text %1").arg(k));
  OverlayControls& o = overlays_[k - 1];
  const OverlayRows& rows = SchemaRows().Texts[k];
  o.chkTxt =
      Bind(rows.Enabled, Check(page, ("chkTxt" + n).toLatin1().constData(), "", false, 8, 66, 17));
  o.edtTXT = Bind(rows.Format, Edit(page, ("edtTXT" + n).toLatin1().constData(), "", 32, 64, 265));
  Label(page, ("lblp" + n).toLatin1().constData(), "%" + n + " :", 8, 92);
  // The kind's combo is wide enough for "NextAdp" beside its arrow.
  o.edtP = Bind(rows.Oid, Edit(page, ("edtP" + n).toLatin1().constData(), "", 32, 88, 185));
  o.cbpTime =
      Place(new QComboBox(page), ("cbp" + n + "Time").toLatin1().constData(), 224, 88, 73, 21);
  o.cbpTime->setEditable(true);
  o.cbpTime->setInsertPolicy(QComboBox::NoInsert);
  QStringList kinds = {"String", "Time"};
  if (k == 4) kinds << "NextAdp";
  o.cbpTime->addItems(kinds);
  // Whatever is typed is stored as typed, so no completion may change it.
  o.cbpTime->setCompleter(nullptr);
  Bind(rows.Kind, o.cbpTime);
  o.edtTXTX =
      Bind(rows.X, Edit(page, ("edtTXT" + n + "X").toLatin1().constData(), "", 104, 120, 33));
  o.edtTXTY =
      Bind(rows.Y, Edit(page, ("edtTXT" + n + "Y").toLatin1().constData(), "", 160, 120, 33));
  AxisLabel(page, "X", o.edtTXTX);
  AxisLabel(page, "Y", o.edtTXTY);
}

void TConfigPanel::BuildNotificationsPage() {
  QWidget* page = Page("Notifications");
  const SchemaRowHandles& rows = SchemaRows();
  NoteList(page, "lbExplainNotify",
           {"Notices on the desktop, also while the window is hidden;", "0 turns one off."}, 8, 8,
           297, 29);
  Label(page, "lblNotifyDown", "Host silent after : ", 8, 52);
  auto* down = Edit(page, "edtNotifyDownPolls", "", 120, 48, 33);
  Bind(rows.NotifyDownPolls, down,
       Place(new TUpDown(down, {0, 100}, page), "udNotifyDownPolls", 153, 48, 15, 21));
  Label(page, "lblNotifyDownUnit", "polls", 174, 52);
  Label(page, "lblNotifyRate", "Rate above : ", 8, 80);
  Bind(rows.NotifyRateAbove, Edit(page, "edtNotifyRateAbove", "", 120, 76, 65));
  Label(page, "lblNotifyRateUnit", "bytes/s", 190, 80);
  Label(page, "lblNotifySeconds", "for : ", 8, 108);
  auto* seconds = Edit(page, "edtNotifyRateSeconds", "", 120, 104, 33);
  Bind(rows.NotifyRateSeconds, seconds,
       Place(new TUpDown(seconds, {0, 3600}, page), "udNotifyRateSeconds", 153, 104, 15, 21));
  Label(page, "lblNotifySecondsUnit", "s", 174, 108);
  Bind(rows.NotifyCap,
       Check(page, "chkNotifyCap", "Usage at 80, 90 and 100 % of the cap", false, 8, 132, 289));
}

void TConfigPanel::BuildResetPage() {
  QWidget* page = Page("Reset");
  BtnResetOID1 = Place(new QPushButton("Reset OID1", page), "BtnResetOID1", 16, 16, 89, 25);
  LblRstOID1 = Place(new QLabel("LblRstOID1", page), "LblRstOID1", 112, 24, 161);
  BtnResetOID2 = Place(new QPushButton("Reset OID2", page), "BtnResetOID2", 16, 72, 89, 25);
  LblRstOID2 = Place(new QLabel("LblRstOID2", page), "LblRstOID2", 112, 80, 169);
  for (QLabel* label : {LblRstOID1, LblRstOID2}) label->setTextFormat(Qt::PlainText);
  BtnClearOID1 = Place(new QPushButton("Clear total", page), "BtnClearOID1", 16, 44, 89, 22);
  BtnClearOID2 = Place(new QPushButton("Clear total", page), "BtnClearOID2", 16, 100, 89, 22);
  BtnResetOID1->setToolTip(
      "Sets counter OID1 to 0 on the device itself (asks first) and clears its local total");
  BtnResetOID2->setToolTip(
      "Sets counter OID2 to 0 on the device itself (asks first) and clears its local total");
  BtnClearOID1->setToolTip(
      "Forgets the megabytes carried over for OID1 here; the device's counter is not touched");
  BtnClearOID2->setToolTip(
      "Forgets the megabytes carried over for OID2 here; the device's counter is not touched");
  LblRstOID1->setToolTip(
      "Megabytes counted by OID1: the device's count plus what was carried "
      "over its restarts");
  LblRstOID2->setToolTip(
      "Megabytes counted by OID2: the device's count plus what was carried "
      "over its restarts");
}

void TConfigPanel::BuildUsagePage() {
  QWidget* page = Page("Usage");
  NoteList(page, "lbExplainUsage",
           {"The bytes in and out are counted per billing period, from",
            "midnight of the reset day to the same day a month later.",
            "The cap is what the period allows, in GB (1000 GB = 1 TB);",
            "0 for none. The History window shows the usage against it."},
           8, 8, 297, 57);
  Label(page, "lblUsageResetDay", "Reset day :", 8, 80);
  edtUsageResetDay = Edit(page, "edtUsageResetDay", "", 104, 76, 25);
  // Every month has a 28th: a later day would move from month to month.
  udUsageResetDay = Place(new TUpDown(edtUsageResetDay, {kFirstResetDay, kLastResetDay}, page),
                          "udUsageResetDay", 129, 76, 15, 21);
  Bind(SchemaRows().UsageResetDay, edtUsageResetDay, udUsageResetDay);
  Label(page, "lblUsageCap", "Cap per period :", 8, 108);
  edtUsageCap = Edit(page, "edtUsageCap", "", 104, 104, 81);
  Label(page, "lblUsageCapUnit", "GB (0 = none)", 192, 108);
  const SettingField<std::string> cap = SchemaRows().UsageCap.field();
  bindings_.push_back({[=, this](const TPlovexSettings& s) {
                         // A stored cap that is not a number of bytes shows as
                         // it is, for the user to mend.
                         const Result<std::int64_t> bytes = ParseCapBytes(cap(s));
                         edtUsageCap->setText(QString::fromStdString(
                             bytes.ok() ? BytesToGigabytes(*bytes) : cap(s)));
                       },
                       [=, this](TPlovexSettings& s) {
                         const Result<std::int64_t> bytes = GigabytesToBytes(Text(edtUsageCap));
                         if (!bytes.ok()) throw PlovexError(bytes.status().message());
                         cap(s) = std::to_string(*bytes);
                       }});
  edtUsageResetDay->setToolTip("The day of the month on which a billing period begins (1 to 28)");
  udUsageResetDay->setToolTip(edtUsageResetDay->toolTip());
  edtUsageCap->setToolTip(
      "The bytes in and out a billing period allows, in GB of 1,000,000,000 bytes; 0 for no cap");
}

void TConfigPanel::CheckUsagePage() const {
  const Result<std::int32_t> day = TryStrToInt(Text(edtUsageResetDay));
  if (!day.ok() || *day < kFirstResetDay || *day > kLastResetDay) {
    edtUsageResetDay->setFocus();
    edtUsageResetDay->selectAll();
    throw PlovexError("Reset day must be a day from 1 to 28.");
  }
  const Result<std::int64_t> cap = GigabytesToBytes(Text(edtUsageCap));
  if (!cap.ok()) {
    edtUsageCap->setFocus();
    edtUsageCap->selectAll();
    throw PlovexError(cap.status().message());
  }
}

void TConfigPanel::SetAppIcon(const QIcon& icon) { Image2->setPixmap(icon.pixmap(32, 32)); }

void TConfigPanel::ShowPage(int index) { PageControl2->setCurrentIndex(index); }

void TConfigPanel::ShowPageCaptioned(const QString& caption) {
  int index = 0;
  for (QTreeWidgetItemIterator it(TreeView1); *it != nullptr; ++it, ++index) {
    if (caption != kPanelNodes[static_cast<std::size_t>(index)].page_caption) continue;
    if ((*it)->parent() != nullptr) (*it)->parent()->setExpanded(true);
    TreeView1->setCurrentItem(*it);
    ShowPage(index);
    return;
  }
}

bool TConfigPanel::SaveGifChecked() const { return chkSaveGIF->isChecked(); }

void TConfigPanel::SetResetCaptions(const QString& oid1, const QString& oid2) {
  LblRstOID1->setText(oid1);
  LblRstOID2->setText(oid2);
}

QLineEdit* TConfigPanel::Bind(const SettingRow<std::string>& row, QLineEdit* edit) {
  const SettingField<std::string> f = row.field();
  bindings_.push_back(
      {[=](const TPlovexSettings& s) { edit->setText(QString::fromStdString(f(s))); },
       [=](TPlovexSettings& s) { f(s) = Text(edit); }});
  return edit;
}

QComboBox* TConfigPanel::Bind(const SettingRow<std::string>& row, QComboBox* combo) {
  const SettingField<std::string> f = row.field();
  bindings_.push_back({[=](const TPlovexSettings& s) {
                         const QString text = QString::fromStdString(f(s));
                         if (combo->isEditable()) {
                           combo->setEditText(text);
                         } else {
                           // A text the list does not hold shows as its first
                           // item, as it acts.
                           combo->setCurrentIndex(std::max(0, combo->findText(text)));
                         }
                       },
                       // Whatever was typed.
                       [=](TPlovexSettings& s) { f(s) = combo->currentText().toStdString(); }});
  return combo;
}

QLineEdit* TConfigPanel::Bind(const SettingRow<std::int32_t>& row, QLineEdit* edit,
                              TUpDown* arrows) {
  const SettingField<std::int32_t> f = row.field();
  bindings_.push_back({[=](const TPlovexSettings& s) {
                         if (arrows != nullptr) arrows->SetPosition(f(s));
                         edit->setText(Decimal(f(s)));  // also beyond the arrows' range
                       },
                       [=](TPlovexSettings& s) { f(s) = Number(edit); }});
  return edit;
}

TUpDown* TConfigPanel::Bind(const SettingRow<std::int32_t>& row, TUpDown* arrows) {
  const SettingField<std::int32_t> f = row.field();
  bindings_.push_back({[=](const TPlovexSettings& s) { arrows->SetPosition(f(s)); },
                       [=](TPlovexSettings& s) { f(s) = arrows->Position(); }});
  return arrows;
}

QCheckBox* TConfigPanel::Bind(const SettingRow<bool>& row, QCheckBox* box) {
  const SettingField<bool> f = row.field();
  bindings_.push_back({[=](const TPlovexSettings& s) { box->setChecked(f(s)); },
                       [=](TPlovexSettings& s) { f(s) = box->isChecked(); }});
  return box;
}

TColorSwatch* TConfigPanel::Bind(const SettingRow<Color>& row, TColorSwatch* swatch) {
  const SettingField<Color> f = row.field();
  bindings_.push_back({[=](const TPlovexSettings& s) { swatch->SetFill(f(s)); },
                       [=](TPlovexSettings& s) { f(s) = swatch->Fill(); }});
  return swatch;
}

void TConfigPanel::FillControls(const TPlovexSettings& s) {
  for (const Binding& b : bindings_) b.show(s);
}

void TConfigPanel::SettingsToControls() {
  ShowSettings();
  ShowRecordOnWindow(host_, s_);
}

void TConfigPanel::ShowSettings() {
  FillControls(s_);
  edtAuthPass->clear();
  edtPrivPass->clear();
  ShowStoredKeys();
  SnmpVersionChosen();
}

void TConfigPanel::ControlsToSettings() {
  for (const Binding& b : bindings_) b.take(s_);
  const WindowPlacement p = host_.RecordPlacement();
  s_.WindowTop = p.Top;
  s_.WindowLeft = p.Left;
  s_.WindowState = p.State;
  s_.WindowBorderStyle = p.BorderStyle;
  s_.LockDrag = p.LockDrag;
  s_.StayOnTop = p.StayOnTop;
  TakePassphrases();
}

void TConfigPanel::TakePassphrases() {
  // Passphrases are never kept: only the master keys made from them. Apply
  // has checked them; without an authentication protocol there is no key.
  const Status taken = plovex::TakePassphrases(s_, Typed().passphrases);
  edtAuthPass->clear();
  edtPrivPass->clear();
  ShowStoredKeys();
  if (!taken.ok() && taken.code() != StatusCode::kNotFound) throw PlovexError(taken.message());
}

TypedSecurity TConfigPanel::Typed() const {
  TypedSecurity typed{cbSnmpVersion->currentText().toStdString(),
                      Text(edtSnmpUser),
                      cbSnmpAuth->currentText().toStdString(),
                      cbSnmpPriv->currentText().toStdString(),
                      {}};
  // The passphrase edits are for version 3 only: what they still hold after
  // another version was chosen makes no key.
  if (typed.version == "3") typed.passphrases = {Text(edtAuthPass), Text(edtPrivPass)};
  return typed;
}

void TConfigPanel::CheckSecurity() const {
  const SecurityCheck check = plovex::CheckSecurity(s_, Typed());
  if (check.status.ok()) return;
  // The field to mend has the focus.
  for (const auto& [field, widget] :
       {std::pair<SecurityField, QWidget*>{SecurityField::kUser, edtSnmpUser},
        {SecurityField::kAuthProtocol, cbSnmpAuth},
        {SecurityField::kAuthPassphrase, edtAuthPass},
        {SecurityField::kPrivPassphrase, edtPrivPass}}) {
    if (field == check.field) widget->setFocus();
  }
  throw PlovexError(check.status.message());
}

void TConfigPanel::TreeView1Click() {
  QTreeWidgetItem* selected = TreeView1->currentItem();
  if (selected == nullptr || !selected->isSelected()) return;
  // Pre-order index over every node, expanded or not.
  int index = 0;
  for (QTreeWidgetItemIterator it(TreeView1); *it != nullptr; ++it, ++index) {
    if (*it == selected) {
      ShowPage(index);
      return;
    }
  }
}

void TConfigPanel::Button1Click() {
  host_.ReportErrors([this] { Apply(); });
}

void TConfigPanel::RequireAtLeastOne(QLineEdit* edit, const char* message) const {
  // Zero divides the rate, the scale or the tick: refused before anything
  // changes, with the field ready to mend. What is not a number at all is
  // left to the conversion, which names the text.
  const Result<std::int32_t> typed = TryStrToInt(Text(edit));
  if (!typed || *typed >= 1) return;
  edit->setFocus();
  edit->selectAll();
  throw PlovexError(message);
}

void TConfigPanel::Apply() {
  for (const auto& [edit, rule] : {std::pair{edtMax, kDivisorSettings[0]},
                                   {edtRefresh, kDivisorSettings[1]},
                                   {edtTickFreq, kDivisorSettings[2]}}) {
    RequireAtLeastOne(edit, rule.must);
  }
  CheckUsagePage();
  CheckSecurity();
  const std::int32_t typed_max = Number(edtMax);
  if (ApplyMustRestart(s_, typed_max, Text(edtIP), Typed())) {
    host_.RestartGraph([this] {
      ControlsToSettings();
      host_.SettingsApplied();
      host_.SetTimerPeriod(TimerPeriodMs(s_.Refresh));
    });
  } else {
    ControlsToSettings();
    host_.SettingsApplied();
    host_.SetTimerPeriod(TimerPeriodMs(s_.Refresh));
  }
  // What the arrow controls kept is what is used: the edits show it.
  udTextSize->SetPosition(s_.TextSize);
  udSaveGifFreq->SetPosition(s_.SaveGifFreq);
  host_.ShowGraphPage();
}

void TConfigPanel::Button4Click() {
  host_.ReportErrors([this] {
    SettingsToControls();
    host_.ShowGraphPage();
  });
}

void TConfigPanel::PickColor(TColorSwatch* swatch) {
  if (const std::optional<Color> picked = choose_color_(swatch->Fill())) swatch->SetFill(*picked);
}

void TConfigPanel::btnOID1Click() { PickColor(channels_[0].shp); }
void TConfigPanel::btnOID1MaxClick() { PickColor(channels_[0].shpMax); }
void TConfigPanel::btnOID2Click() { PickColor(channels_[1].shp); }
void TConfigPanel::btnOID2MaxClick() { PickColor(channels_[1].shpMax); }

void TConfigPanel::ResetCounter(int k, const QLineEdit* oid_edit) {
  const QString question = QString(
                               "Reset counter OID%1 on %2? The router's own count starts "
                               "again from 0.")
                               .arg(k)
                               .arg(edtIP->text());
  if (!Ask(question)) return;
  host_.ReportErrors([&] {
    Status reset;
    {
      // A client of its own; the poll's client is left alone.
      const std::unique_ptr<TSNMPSend> client = make_client_();
      BusyCursor busy;
      reset = plovex::ResetCounter(*client, s_, Text(edtIP), Text(edtCommunity), Text(oid_edit), k);
    }
    if (!reset.ok()) throw PlovexError(reset.message());
    host_.SaveTotals();
  });
}

void TConfigPanel::ClearTotal(int k) {
  OidChannel& c = s_.Channel(k);
  if (c.Total == 0) return;
  if (!Ask(QString("Forget the %1 MB carried over for OID%2? The router's own count is not "
                   "touched.")
               .arg(c.Total)
               .arg(k)))
    return;
  host_.ReportErrors([&] {
    const std::int64_t kept = c.Total;
    c.Total = 0;
    try {
      host_.SaveTotals();
    } catch (...) {
      c.Total = kept;  // what is not saved is not forgotten either
      throw;
    }
    SetResetCaptions(QString::fromStdString(ResetCaption(s_, 1)),
                     QString::fromStdString(ResetCaption(s_, 2)));
  });
}

bool TConfigPanel::Ask(const QString& question) const {
  if (ask_) return ask_(question);
  return QMessageBox::question(const_cast<TConfigPanel*>(this), "Plovex", question,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

void TConfigPanel::ShowMaxRate() {
  const Result<std::int32_t> bytes = TryStrToInt(Text(edtMax));
  if (!bytes) {
    lblMaxRate->clear();
    return;
  }
  const double mbit = *bytes * 8.0 / 1e6;
  lblMaxRate->setText(QString("= %1 Mbit/s")
                          .arg(mbit, 0, 'f',
                               mbit >= 100 ? 0
                               : mbit >= 1 ? 1
                                           : 3));
}

TPlovexSettings TConfigPanel::TypedNetwork() const {
  CheckSecurity();
  TPlovexSettings typed = s_;
  const TypedSecurity security = Typed();
  typed.Ip = Text(edtIP);
  typed.Community = Text(edtCommunity);
  typed.SnmpVersion = security.version;
  typed.SnmpUser = security.user;
  typed.SnmpAuthProtocol = security.auth_protocol;
  typed.SnmpPrivProtocol = security.priv_protocol;
  const Status taken = plovex::TakePassphrases(typed, security.passphrases);
  if (!taken.ok() && taken.code() != StatusCode::kNotFound) throw PlovexError(taken.message());
  return typed;
}

void TConfigPanel::btnTestClick() {
  host_.ReportErrors([this] {
    const TPlovexSettings typed = TypedNetwork();
    const std::unique_ptr<TSNMPSend> client = make_client_();
    lblTestResult->setText("Asking " + edtIP->text() + "\u2026");
    Result<AgentIdentity> answer = Status::TimedOut("");
    {
      BusyCursor busy;
      answer = TestConnection(typed, *client, host_known_);
    }
    const QString result = QString::fromStdString(ConnectionTestText(typed, answer));
    lblTestResult->setToolTip(result);
    lblTestResult->setText(
        lblTestResult->fontMetrics().elidedText(result, Qt::ElideRight, lblTestResult->width()));
  });
}

void TConfigPanel::btnInterfacesClick() {
  host_.ReportErrors([this] {
    const TPlovexSettings typed = TypedNetwork();
    const std::unique_ptr<TSNMPSend> client = make_client_();
    if (const Status usable = ConfigureClient(typed, *client); !usable.ok()) {
      throw PlovexError("SNMP version 3: " + usable.message());
    }
    Result<InterfaceTable> table = Status::TimedOut("");
    {
      BusyCursor busy;
      table = ReadInterfaceTable(typed, *client);
    }
    if (!table) {
      throw PlovexError("No interface list from " + typed.Ip + ": " + table.status().message());
    }
    TInterfaceDialog dialog(
        std::move(*table),
        [&](InterfaceTable& t) {
          BusyCursor busy;
          static_cast<void>(ReadInterfaceRates(typed, *client, t));
        },
        this);
    if (run_dialog_(dialog) != QDialog::Accepted) return;
    const std::optional<InterfaceRow> row = dialog.Selected();
    if (!row) return;
    // Filled in, not applied: Apply confirms as for every other change.
    const InterfaceChoice choice = ChooseInterface(typed, *row);
    channels_[0].edtOID->setText(QString::fromStdString(choice.oid1));
    channels_[1].edtOID->setText(QString::fromStdString(choice.oid2));
    edtInterface->setText(QString::fromStdString(choice.name));
    if (choice.max_bytes) edtMax->setText(QString::number(*choice.max_bytes));
  });
}

void TConfigPanel::ShowFollowedInterface() {
  channels_[0].edtOID->setText(QString::fromStdString(s_.Oid1.Oid));
  channels_[1].edtOID->setText(QString::fromStdString(s_.Oid2.Oid));
}

void TConfigPanel::BtnResetOID1Click() { ResetCounter(1, channels_[0].edtOID); }
void TConfigPanel::BtnResetOID2Click() { ResetCounter(2, channels_[1].edtOID); }
void TConfigPanel::BtnClearOID1Click() { ClearTotal(1); }
void TConfigPanel::BtnClearOID2Click() { ClearTotal(2); }

}  // namespace plovex
