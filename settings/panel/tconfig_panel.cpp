#include "settings/panel/tconfig_panel.h"

#include <algorithm>
#include <stdexcept>

#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QScrollArea>
#include <QShortcut>

#include "core/counter_reset.h"
#include "core/divisor_settings.h"
#include "core/int_text.h"
#include "core/plovex_error.h"
#include "core/settings_schema.h"
#include "core/snmp_security.h"
#include "settings/panel/panel_rules.h"
#include "snmp/tsnmp_send.h"

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
  BuildAboutPage();
  BuildNetworkPage();
  BuildGraphPage();
  BuildChannelPage(1);
  BuildChannelPage(2);
  BuildTicksPage();
  BuildRefreshPage();
  BuildTextPage();
  for (int k = 1; k <= 5; ++k) BuildOverlayPage(k);
  BuildResetPage();

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

  // The initial state of every control is the setting's default.
  BindControls();
  TPlovexSettings defaults;
  ApplyDefaultSettings(defaults);
  FillControls(defaults);
  ShowPage(0);
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

QWidget* TConfigPanel::AddPage(const char* caption) {
  auto* page = new QWidget(PageControl2);
  page->setObjectName(QString("page") + QString(caption).remove(' '));
  page->setWindowTitle(caption);
  PageControl2->addWidget(page);
  return page;
}

void TConfigPanel::BuildAboutPage() {
  QWidget* page = AddPage("About");
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
  // Taller than the page area: it scrolls.
  QWidget* outer = AddPage("Network");
  auto* scroll = Place(new QScrollArea(outer), "scrNetwork", 0, 0, 308, 174);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* page = new QWidget;
  page->setObjectName("pageNetworkContent");
  page->resize(290, 352);
  scroll->setWidget(page);
  NoteList(page, "lbExplainIP",
           {"Here you need to put the IP you are monitoring. In most case",
            "this will be the IP of your router, By default it's set to ", "192.168.1.1"},
           8, 8, 297, 41);
  Label(page, "lblIP", "Monitored IP :", 8, 60);
  edtIP = Edit(page, "edtIP", "", 80, 56, 97);
  NoteList(page, "lbExplainCommunity",
           {"This is the SNMP read community. If you don't know ",
            "what it is, just leave it as \"tamrel\""},
           8, 96, 289, 33);
  Label(page, "lblCommunity", "Community : ", 8, 140);
  edtCommunity = Edit(page, "edtCommunity", "", 80, 136, 97);

  // Below the Windows version's page, reached by scrolling: the version and
  // the version 3 user.
  Label(page, "lblSnmpVersion", "SNMP version :", 8, 172);
  cbSnmpVersion = Place(new QComboBox(page), "cbSnmpVersion", 96, 168, 57, 21);
  cbSnmpVersion->addItems({"1", "2c", "3"});
  Label(page, "lblSnmpUser", "User :", 8, 204);
  edtSnmpUser = Edit(page, "edtSnmpUser", "", 96, 200, 113);
  Label(page, "lblSnmpAuth", "Authentication :", 8, 236);
  cbSnmpAuth = Place(new QComboBox(page), "cbSnmpAuth", 96, 232, 81, 21);
  cbSnmpAuth->addItems({"", "SHA", "SHA-256"});
  Label(page, "lblAuthPass", "Passphrase :", 8, 264);
  edtAuthPass = Edit(page, "edtAuthPass", "", 96, 260, 113);
  Label(page, "lblSnmpPriv", "Privacy :", 8, 296);
  cbSnmpPriv = Place(new QComboBox(page), "cbSnmpPriv", 96, 292, 81, 21);
  cbSnmpPriv->addItems({"", "AES"});
  Label(page, "lblPrivPass", "Passphrase :", 8, 324);
  edtPrivPass = Edit(page, "edtPrivPass", "", 96, 320, 113);
  for (QLineEdit* e : {edtAuthPass, edtPrivPass}) {
    e->setEchoMode(QLineEdit::Password);
    // Empty keeps the stored key, which is never shown.
    e->setPlaceholderText("unchanged");
  }
  connect(cbSnmpVersion, &QComboBox::currentTextChanged, this, &TConfigPanel::SnmpVersionChosen);
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
  QWidget* page = AddPage("Graph");
  Label(page, "lblMaximum", "Maximum WAN throughput : ", 8, 12);
  edtMax = Edit(page, "edtMax", "", 152, 8, 57);
  Label(page, "lblBytes", "Bytes", 216, 12);
  Label(page, "lblTxtSize", "Default text size : ", 8, 44);
  edtTextSize = Edit(page, "edtTextSize", "", 96, 42, 25);
  udTextSize = Place(new TUpDown(edtTextSize, {1, 72}, page), "udTextSize", 121, 42, 15, 21);
  Label(page, "lblGraphCoord", "Graph coordinates :", 8, 72);
  edtGTX = Edit(page, "edtGTX", "", 16, 88, 33);
  edtGTY = Edit(page, "edtGTY", "", 64, 88, 33);
  edtGBX = Edit(page, "edtGBX", "", 16, 112, 33);
  edtGBY = Edit(page, "edtGBY", "", 64, 112, 33);
  for (QLineEdit* e : {edtGTX, edtGBX}) AxisLabel(page, "X", e);
  for (QLineEdit* e : {edtGTY, edtGBY}) AxisLabel(page, "Y", e);
  chkTotal = Check(page, "chkTotal", "OID 1 && 2 Total", false, 152, 76);
  edtTotalX = Edit(page, "edtTotalX", "", 152, 96, 33);
  edtTotalY = Edit(page, "edtTotalY", "", 200, 96, 33);
  AxisLabel(page, "X", edtTotalX);
  AxisLabel(page, "Y", edtTotalY);
  chkSaveGIF = Check(page, "chkSaveGIF", "Save to GIF every", false, 16, 150);
  edtSaveGifFreq = Edit(page, "edtSaveGifFreq", "", 128, 144, 33);
  udSaveGifFreq =
      Place(new TUpDown(edtSaveGifFreq, {0, 60}, page), "udSaveGifFreq", 161, 144, 15, 21);
  Label(page, "Label1", "minutes", 184, 152);
}

void TConfigPanel::BuildChannelPage(int k) {
  const bool one = k == 1;
  QWidget* page = AddPage(one ? "GraphOID1" : "GraphOID2");
  const QString n = QString::number(k);
  auto name = [&](const char* prefix, const char* suffix = "") {
    return (QString(prefix) + "OID" + n + suffix).toLatin1();
  };
  ChannelControls& c = channels_[k - 1];
  c.shp = Place(new TColorSwatch(page), name("shp").constData(), 8, 16, 25, 25);
  c.btn = Place(new QPushButton("Normal color", page), name("btn").constData(), 40, 16, 81, 25);
  c.shpMax = Place(new TColorSwatch(page), name("shp", "Max").constData(), 136, 16, 25, 25);
  c.btnMax = Place(new QPushButton("Maximum color", page), name("btn", "Max").constData(), 168, 16,
                   89, 25);
  c.chkFull = Check(page, name("chkFull").constData(), "Full bars", false, 8, 48);
  c.chkGradient = Check(page, name("chkGradient").constData(), "Gradient", false, 80, 48);
  Label(page, name("lblText").constData(), "Text position : ", 10, 96);
  c.edtX = Edit(page, name("edtX").constData(), "", 82, 92, 33);
  c.edtY = Edit(page, name("edtY").constData(), "", 132, 92, 33);
  AxisLabel(page, "X", c.edtX);
  AxisLabel(page, "Y", c.edtY);
  Label(page, name("lbl").constData(), one ? "OID 1 : " : "OID 2 : ", 8, 156);
  c.edtOID = Edit(page, name("edt").constData(), "", 48, 152, 249);
}

void TConfigPanel::BuildTicksPage() {
  QWidget* page = AddPage("Ticks");
  chkVticks = Check(page, "chkVticks", "Vertical ticks ( 0% 25% 50% 75% 100% )", false, 8, 16, 209);
  // 209 was wide enough for the caption in the Windows typeface.
  chkVticks->resize(std::max(209, chkVticks->sizeHint().width()), chkVticks->height());
  chkHticks = Check(page, "chkHticks", "Horizontal ticks", false, 8, 40);
  chkGLabel = Check(page, "chkGLabel", "Graph Vertical Label", false, 8, 64);
}

void TConfigPanel::BuildRefreshPage() {
  QWidget* page = AddPage("Refresh");
  Label(page, "lblRefresh", "Refresh every : ", 8, 16);
  edtRefresh = Edit(page, "edtRefresh", "", 88, 12, 33);
  udRefresh = Place(new TUpDown(edtRefresh, {1, 3600}, page), "udRefresh", 121, 12, 15, 21);
  Label(page, "lblRefS", "s", 142, 16);
  Label(page, "lblTickFreq", "Tick every : ", 8, 44);
  edtTickFreq = Edit(page, "edtTickFreq", "", 88, 40, 33);
  udTickFreq = Place(new TUpDown(edtTickFreq, {1, 1440}, page), "udTickFreq", 121, 40, 15, 21);
  Label(page, "lblTickMin", "min", 144, 44);
}

void TConfigPanel::BuildTextPage() {
  QWidget* page = AddPage("Text");
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
  QWidget* page = AddPage(QString("Text %1").arg(k).toLatin1().constData());
  OverlayControls& o = overlays_[k - 1];
  o.chkTxt = Check(page, ("chkTxt" + n).toLatin1().constData(), "", false, 8, 66, 17);
  o.edtTXT = Edit(page, ("edtTXT" + n).toLatin1().constData(), "", 32, 64, 265);
  Label(page, ("lblp" + n).toLatin1().constData(), "%" + n + " :", 8, 92);
  // The kind's combo is wide enough for "NextAdp" beside its arrow.
  o.edtP = Edit(page, ("edtP" + n).toLatin1().constData(), "", 32, 88, 185);
  o.cbpTime =
      Place(new QComboBox(page), ("cbp" + n + "Time").toLatin1().constData(), 224, 88, 73, 21);
  o.cbpTime->setEditable(true);
  o.cbpTime->setInsertPolicy(QComboBox::NoInsert);
  QStringList kinds = {"String", "Time"};
  if (k == 4) kinds << "NextAdp";
  o.cbpTime->addItems(kinds);
  // Whatever is typed is stored as typed, so no completion may change it.
  o.cbpTime->setCompleter(nullptr);
  o.edtTXTX = Edit(page, ("edtTXT" + n + "X").toLatin1().constData(), "", 104, 120, 33);
  o.edtTXTY = Edit(page, ("edtTXT" + n + "Y").toLatin1().constData(), "", 160, 120, 33);
  AxisLabel(page, "X", o.edtTXTX);
  AxisLabel(page, "Y", o.edtTXTY);
}

void TConfigPanel::BuildResetPage() {
  QWidget* page = AddPage("Reset");
  BtnResetOID1 = Place(new QPushButton("Reset OID1", page), "BtnResetOID1", 16, 16, 89, 25);
  LblRstOID1 = Place(new QLabel("LblRstOID1", page), "LblRstOID1", 112, 24, 161);
  BtnResetOID2 = Place(new QPushButton("Reset OID2", page), "BtnResetOID2", 16, 72, 89, 25);
  LblRstOID2 = Place(new QLabel("LblRstOID2", page), "LblRstOID2", 112, 80, 169);
  for (QLabel* label : {LblRstOID1, LblRstOID2}) label->setTextFormat(Qt::PlainText);
}

void TConfigPanel::SetAppIcon(const QIcon& icon) { Image2->setPixmap(icon.pixmap(32, 32)); }

void TConfigPanel::ShowPage(int index) { PageControl2->setCurrentIndex(index); }

bool TConfigPanel::SaveGifChecked() const { return chkSaveGIF->isChecked(); }

void TConfigPanel::SetResetCaptions(const QString& oid1, const QString& oid2) {
  LblRstOID1->setText(oid1);
  LblRstOID2->setText(oid2);
}

void TConfigPanel::BindControls() {
  // The panel's own order: ControlsToSettings stops at the first edit that
  // is not a number, and the fields before it keep their new values.
  bindings_ = {
      {"IP", edtIP},
      {"Community", edtCommunity},
      {"SNMPVersion", cbSnmpVersion},
      {"SNMPUser", edtSnmpUser},
      {"SNMPAuthProtocol", cbSnmpAuth},
      {"SNMPPrivProtocol", cbSnmpPriv},
      {"MaxBytes", edtMax},
      {"TxtSize", udTextSize},
      {"GraphTX", edtGTX},
      {"GraphTY", edtGTY},
      {"GraphBX", edtGBX},
      {"GraphBY", edtGBY},
      {"OIDTotal", chkTotal},
      {"OIDTCx", edtTotalX},
      {"OIDTCy", edtTotalY},
      {"SaveGif", chkSaveGIF},
      {"SaveGifFreq", udSaveGifFreq},
      {"Vticks", chkVticks},
      {"Hticks", chkHticks},
      {"GLabel", chkGLabel},
      // Read from the edit as typed; the position lands inside the range.
      {"Refresh", edtRefresh, udRefresh},
      {"TickFreq", edtTickFreq, udTickFreq},
  };
  for (int k = 1; k <= 2; ++k) {
    const ChannelControls& c = channels_[k - 1];
    const std::string n = "OID" + std::to_string(k);
    bindings_.insert(bindings_.end(), {{n + (k == 1 ? "color" : "Color"), c.shp},
                                       {n + "MaxColor", c.shpMax},
                                       {n + (k == 1 ? "full" : "Full"), c.chkFull},
                                       {n + "Cx", c.edtX},
                                       {n + "Cy", c.edtY},
                                       {n, c.edtOID},
                                       {n + "Grad", c.chkGradient}});
  }
  for (int k = 1; k <= 5; ++k) {
    const OverlayControls& o = overlays_[k - 1];
    const std::string n = "Txt" + std::to_string(k);
    bindings_.insert(bindings_.end(), {{n + "Enable", o.chkTxt},
                                       {n, o.edtTXT},
                                       {n + "OID", o.edtP},
                                       {n + "Format", o.cbpTime},
                                       {n + "Cx", o.edtTXTX},
                                       {n + "Cy", o.edtTXTY}});
  }
  for (Binding& b : bindings_) {
    b.setting = FindSetting(b.name);
    if (b.setting == nullptr) throw std::logic_error("no setting \"" + b.name + "\"");
  }
}

namespace {

// One control shows one field.
struct ShowIn {
  const TPlovexSettings& s;
  void operator()(const SettingField<std::string>& f, QLineEdit* e, TUpDown*) const {
    e->setText(QString::fromStdString(f(s)));
  }
  void operator()(const SettingField<std::string>& f, QComboBox* c, TUpDown*) const {
    if (c->isEditable()) {
      c->setEditText(QString::fromStdString(f(s)));
    } else {
      // A text the list does not hold shows as its first item, as it acts.
      c->setCurrentIndex(std::max(0, c->findText(QString::fromStdString(f(s)))));
    }
  }
  void operator()(const SettingField<std::int32_t>& f, QLineEdit* e, TUpDown* arrows) const {
    if (arrows != nullptr) arrows->SetPosition(f(s));
    e->setText(Decimal(f(s)));  // also beyond the arrows' range
  }
  void operator()(const SettingField<std::int32_t>& f, TUpDown* arrows, TUpDown*) const {
    arrows->SetPosition(f(s));
  }
  void operator()(const SettingField<bool>& f, QCheckBox* box, TUpDown*) const {
    box->setChecked(f(s));
  }
  void operator()(const SettingField<Color>& f, TColorSwatch* swatch, TUpDown*) const {
    swatch->SetFill(f(s));
  }
  template <typename F, typename W>
  void operator()(const F&, W*, TUpDown*) const {
    throw std::logic_error("a control bound to a field of another type");
  }
};

// One field takes what one control holds; throws PlovexError for an edit that
// is not a number.
struct TakeFrom {
  TPlovexSettings& s;
  void operator()(const SettingField<std::string>& f, QLineEdit* e, TUpDown*) const {
    f(s) = Text(e);
  }
  void operator()(const SettingField<std::string>& f, QComboBox* c, TUpDown*) const {
    f(s) = c->currentText().toStdString();  // whatever was typed
  }
  void operator()(const SettingField<std::int32_t>& f, QLineEdit* e, TUpDown*) const {
    f(s) = Number(e);
  }
  void operator()(const SettingField<std::int32_t>& f, TUpDown* arrows, TUpDown*) const {
    f(s) = arrows->Position();
  }
  void operator()(const SettingField<bool>& f, QCheckBox* box, TUpDown*) const {
    f(s) = box->isChecked();
  }
  void operator()(const SettingField<Color>& f, TColorSwatch* swatch, TUpDown*) const {
    f(s) = swatch->Fill();
  }
  template <typename F, typename W>
  void operator()(const F&, W*, TUpDown*) const {
    throw std::logic_error("a control bound to a field of another type");
  }
};

}  // namespace

void TConfigPanel::FillControls(const TPlovexSettings& s) {
  for (const Binding& b : bindings_) {
    std::visit([&](const auto& field, auto* control) { ShowIn{s}(field, control, b.arrows); },
               b.setting->field, b.control);
  }
}

void TConfigPanel::SettingsToControls() {
  FillControls(s_);
  edtAuthPass->clear();
  edtPrivPass->clear();
  SnmpVersionChosen();
  host_.SetTimerPeriod(TimerPeriodMs(s_.Refresh));
  host_.ApplyPlacement(WindowPlacement{s_.WindowTop, s_.WindowLeft, s_.WindowState,
                                       s_.WindowBorderStyle, s_.LockDrag, s_.StayOnTop});
}

void TConfigPanel::ControlsToSettings() {
  for (const Binding& b : bindings_) {
    std::visit([&](const auto& field, auto* control) { TakeFrom{s_}(field, control, b.arrows); },
               b.setting->field, b.control);
  }
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
  // Passphrases are never kept: only the master keys made from them.
  for (const auto& [edit, key] : {std::pair{edtAuthPass, &TPlovexSettings::SnmpAuthKey},
                                  {edtPrivPass, &TPlovexSettings::SnmpPrivKey}}) {
    if (edit->text().isEmpty()) continue;
    s_.*key = PassphraseToKeyText(s_.SnmpAuthProtocol, Text(edit));
    edit->clear();
  }
}

bool TConfigPanel::SecurityChanged() const {
  return cbSnmpVersion->currentText().toStdString() != s_.SnmpVersion ||
         Text(edtSnmpUser) != s_.SnmpUser ||
         cbSnmpAuth->currentText().toStdString() != s_.SnmpAuthProtocol ||
         cbSnmpPriv->currentText().toStdString() != s_.SnmpPrivProtocol ||
         !edtAuthPass->text().isEmpty() || !edtPrivPass->text().isEmpty();
}

void TConfigPanel::CheckSecurity() const {
  if (cbSnmpVersion->currentText() != "3") return;
  const auto refuse = [](QWidget* field, const char* message) {
    field->setFocus();
    throw PlovexError(message);
  };
  const std::string auth = cbSnmpAuth->currentText().toStdString();
  const bool priv = !cbSnmpPriv->currentText().isEmpty();
  if (Text(edtSnmpUser).empty()) refuse(edtSnmpUser, "SNMP version 3 needs a user.");
  if (priv && auth.empty()) refuse(cbSnmpAuth, "Privacy needs authentication.");
  for (const QLineEdit* e : {edtAuthPass, edtPrivPass}) {
    if (!e->text().isEmpty() && e->text().toUtf8().size() < 8) {
      refuse(const_cast<QLineEdit*>(e), "A passphrase must be at least 8 characters.");
    }
  }
  // The stored keys were made with the protocol's hash: another protocol
  // needs the passphrases again.
  const bool same_hash = auth == s_.SnmpAuthProtocol;
  if (!auth.empty() && edtAuthPass->text().isEmpty() && (!same_hash || s_.SnmpAuthKey.empty())) {
    refuse(edtAuthPass, "Type the authentication passphrase.");
  }
  if (priv && edtPrivPass->text().isEmpty() && (!same_hash || s_.SnmpPrivKey.empty())) {
    refuse(edtPrivPass, "Type the privacy passphrase.");
  }
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
  const std::optional<std::int32_t> typed = TryStrToInt(Text(edit));
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
  CheckSecurity();
  const std::int32_t typed_max = Number(edtMax);
  if (ApplyMustRestart(s_, typed_max, Text(edtIP)) || SecurityChanged()) {
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
  host_.ReportErrors([&] {
    Status reset;
    {
      // A client of its own; the poll's client is left alone.
      const std::unique_ptr<TSNMPSend> client = make_client_();
      if (s_.SnmpMessageVersion() == 3) {
        // The applied user: its keys are never in the controls.
        std::string problem;
        const std::optional<UsmUser> user = SettingsUsmUser(s_, problem);
        if (!user) throw PlovexError("SNMP version 3: " + problem + ".");
        client->Usm = *user;
      }
      BusyCursor busy;
      reset = plovex::ResetCounter(*client, s_, Text(edtIP), Text(edtCommunity), Text(oid_edit), k,
                                   s_.SnmpMessageVersion());
    }
    if (!reset.ok()) throw PlovexError(reset.message());
    host_.SaveTotals();
  });
}

void TConfigPanel::BtnResetOID1Click() { ResetCounter(1, channels_[0].edtOID); }
void TConfigPanel::BtnResetOID2Click() { ResetCounter(2, channels_[1].edtOID); }

}  // namespace plovex
