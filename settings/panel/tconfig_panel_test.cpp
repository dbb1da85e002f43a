#include "settings/panel/tconfig_panel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>

#include "settings/panel/testing/recording_panel_host.h"

namespace plovex {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class PanelTest : public ::testing::Test {
 protected:
  PanelTest() {
    ApplyDefaultSettings(s);
    panel.SettingsToControls();
    host.calls.clear();
  }

  template <typename W>
  W* Find(const char* name) {
    W* w = panel.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QLineEdit* Edit(const char* name) { return Find<QLineEdit>(name); }
  void Type(const char* edit, const QString& text) {
    QLineEdit* e = Edit(edit);
    e->selectAll();
    QTest::keyClicks(e, text);
  }
  QString ShownPage() {
    return Find<QStackedWidget>("PageControl2")->currentWidget()->windowTitle();
  }
  void ShowConfigPage(int index) { panel.ShowPage(index); }

  TPlovexSettings s;
  RecordingPanelHost host{s};
  TConfigPanel panel{s, host, nullptr};
};

// A record in which every setting differs from its default, so that a control
// wired to the wrong field shows up.
TPlovexSettings Unusual() {
  TPlovexSettings s;
  s.Ip = "2001:db8::1";
  s.Community = "secret";
  s.MaxBytes = 1234567;
  s.TextSize = 9;
  s.GraphTopX = 3;
  s.GraphTopY = 14;
  s.GraphBottomX = 390;
  s.GraphBottomY = 140;
  s.ShowTotal = false;
  s.TotalX = 111;
  s.TotalY = 5;
  s.SaveGif = false;
  s.SaveGifFreq = 15;
  s.GifFolder = "/srv/pictures";
  s.VTicks = false;
  s.HTicks = false;
  s.GraphLabel = false;
  s.Refresh = 7;
  s.TickFreq = 30;
  s.Oid1 = {.Color = 0x123456,
            .MaxColor = 0x8000000F,
            .FullBars = false,
            .TextX = 4,
            .TextY = 6,
            .Oid = "1.3.6.1.2.1.2.2.1.10.3",
            .Gradient = true};
  s.Oid2 = {.Color = 0x654321,
            .MaxColor = 0x00ABCDEF,
            .FullBars = true,
            .TextX = 60,
            .TextY = 8,
            .Oid = "1.3.6.1.2.1.2.2.1.16.3",
            .Gradient = true};
  for (int k = 1; k <= 5; ++k) {
    s.Texts[k] = {k % 2 == 0,
                  "Format " + std::to_string(k),
                  "1.3.6.1." + std::to_string(k),
                  k == 3 ? "time" : "Kind" + std::to_string(k),
                  10 * k,
                  20 * k + 1};
  }
  s.WindowTop = 33;
  s.WindowLeft = 44;
  s.WindowState = 2;
  s.WindowBorderStyle = 2;
  s.LockDrag = true;
  s.StayOnTop = true;
  s.UsageResetDay = 15;
  s.UsageCap = "1500000000000";
  s.NotifyDownPolls = 5;
  s.NotifyRateAbove = 2500000;
  s.NotifyRateSeconds = 45;
  s.NotifyCap = true;
  return s;
}

void ExpectSameSettings(const TPlovexSettings& a, const TPlovexSettings& b) {
  EXPECT_EQ(a.Ip, b.Ip);
  EXPECT_EQ(a.Community, b.Community);
  EXPECT_EQ(a.MaxBytes, b.MaxBytes);
  EXPECT_EQ(a.TextSize, b.TextSize);
  EXPECT_EQ(a.GraphTopX, b.GraphTopX);
  EXPECT_EQ(a.GraphTopY, b.GraphTopY);
  EXPECT_EQ(a.GraphBottomX, b.GraphBottomX);
  EXPECT_EQ(a.GraphBottomY, b.GraphBottomY);
  EXPECT_EQ(a.ShowTotal, b.ShowTotal);
  EXPECT_EQ(a.TotalX, b.TotalX);
  EXPECT_EQ(a.TotalY, b.TotalY);
  EXPECT_EQ(a.SaveGif, b.SaveGif);
  EXPECT_EQ(a.SaveGifFreq, b.SaveGifFreq);
  EXPECT_EQ(a.GifFolder, b.GifFolder);
  EXPECT_EQ(a.VTicks, b.VTicks);
  EXPECT_EQ(a.HTicks, b.HTicks);
  EXPECT_EQ(a.GraphLabel, b.GraphLabel);
  EXPECT_EQ(a.Refresh, b.Refresh);
  EXPECT_EQ(a.TickFreq, b.TickFreq);
  for (int k = 1; k <= 2; ++k) {
    SCOPED_TRACE(k);
    const OidChannel& x = k == 1 ? a.Oid1 : a.Oid2;
    const OidChannel& y = k == 1 ? b.Oid1 : b.Oid2;
    EXPECT_EQ(x.Color, y.Color);
    EXPECT_EQ(x.MaxColor, y.MaxColor);
    EXPECT_EQ(x.FullBars, y.FullBars);
    EXPECT_EQ(x.TextX, y.TextX);
    EXPECT_EQ(x.TextY, y.TextY);
    EXPECT_EQ(x.Oid, y.Oid);
    EXPECT_EQ(x.Gradient, y.Gradient);
  }
  for (int k = 1; k <= 5; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(a.Texts[k].Enabled, b.Texts[k].Enabled);
    EXPECT_EQ(a.Texts[k].Format, b.Texts[k].Format);
    EXPECT_EQ(a.Texts[k].Oid, b.Texts[k].Oid);
    EXPECT_EQ(a.Texts[k].Kind, b.Texts[k].Kind);
    EXPECT_EQ(a.Texts[k].X, b.Texts[k].X);
    EXPECT_EQ(a.Texts[k].Y, b.Texts[k].Y);
  }
  EXPECT_EQ(a.WindowTop, b.WindowTop);
  EXPECT_EQ(a.WindowLeft, b.WindowLeft);
  EXPECT_EQ(a.WindowState, b.WindowState);
  EXPECT_EQ(a.WindowBorderStyle, b.WindowBorderStyle);
  EXPECT_EQ(a.LockDrag, b.LockDrag);
  EXPECT_EQ(a.StayOnTop, b.StayOnTop);
  EXPECT_EQ(a.UsageResetDay, b.UsageResetDay);
  EXPECT_EQ(a.UsageCap, b.UsageCap);
  EXPECT_EQ(a.NotifyDownPolls, b.NotifyDownPolls);
  EXPECT_EQ(a.NotifyRateAbove, b.NotifyRateAbove);
  EXPECT_EQ(a.NotifyRateSeconds, b.NotifyRateSeconds);
  EXPECT_EQ(a.NotifyCap, b.NotifyCap);
}

TEST(PanelInitialState, ControlsHoldTheDefaultsBeforeAnyCopy) {
  TPlovexSettings s;
  RecordingPanelHost host{s};
  TConfigPanel panel(s, host, nullptr);
  panel.ControlsToSettings();
  TPlovexSettings defaults;
  ApplyDefaultSettings(defaults);
  ExpectSameSettings(s, defaults);

  auto text = [&](const char* name) { return panel.findChild<QLineEdit*>(name)->text(); };
  EXPECT_EQ(text("edtIP"), "192.168.1.1");
  EXPECT_EQ(text("edtTextSize"), "7");
  EXPECT_EQ(text("edtSaveGifFreq"), "0");
  EXPECT_EQ(panel.findChild<QCheckBox*>("chkTotal")->text(), "OID 1 && 2 Total");
  EXPECT_EQ(panel.findChild<QLabel*>("LblRstOID1")->text(), "LblRstOID1");
  EXPECT_EQ(panel.findChild<QLabel*>("lblAppVersion")->text(), "Plovex v1.2.1");
  EXPECT_EQ(panel.findChild<QListWidget*>("lbExplainApp")->count(), 11);
  EXPECT_EQ(panel.findChild<QListWidget*>("ListBox1")->count(), 7);
  EXPECT_EQ(panel.findChild<QComboBox*>("cbp4Time")->count(), 3);
  EXPECT_EQ(panel.findChild<QComboBox*>("cbp5Time")->count(), 2);
  EXPECT_EQ(panel.findChild<QStackedWidget*>("PageControl2")->currentIndex(), 0);
  EXPECT_EQ(panel.findChild<QWidget*>("edtOID2")->geometry(), QRect(48, 152, 249, 21));
}

TEST_F(PanelTest, CopyingARecordThroughTheControlsKeepsEverySetting) {
  const TPlovexSettings unusual = Unusual();
  s = unusual;
  host.placement = {};
  panel.SettingsToControls();
  EXPECT_EQ(host.placement.Top, 33);
  EXPECT_EQ(host.placement.State, 2);
  EXPECT_TRUE(host.placement.LockDrag);
  EXPECT_EQ(host.timer_period, 7000);
  EXPECT_EQ(Edit("edtTXT3")->text(), "Format 3");

  s = TPlovexSettings{};
  panel.ControlsToSettings();
  ExpectSameSettings(s, unusual);
}

TEST_F(PanelTest, TreeNodesShowTheirPagesAlsoWhileCollapsed) {
  auto* tree = Find<QTreeWidget>("TreeView1");
  ASSERT_EQ(tree->topLevelItemCount(), 7);
  for (int i = 0; i < tree->topLevelItemCount(); ++i)
    EXPECT_FALSE(tree->topLevelItem(i)->isExpanded());
  int index = 0;
  for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it, ++index) {
    SCOPED_TRACE(index);
    tree->setCurrentItem(*it);
    panel.TreeView1Click();
    EXPECT_EQ(ShownPage(), kPanelNodes[index].page_caption);
    EXPECT_EQ((*it)->text(0), kPanelNodes[index].text);
  }
  EXPECT_EQ(index, 18);
  // A real click on a visible node.
  QTreeWidgetItem* network = tree->topLevelItem(1);
  tree->show();
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(network).center());
  EXPECT_EQ(ShownPage(), "Network");
}

TEST_F(PanelTest, ATreeClickWithNoNodeSelectedKeepsThePage) {
  panel.ShowPage(6);
  auto* tree = Find<QTreeWidget>("TreeView1");
  tree->clearSelection();
  tree->setCurrentItem(nullptr);
  panel.TreeView1Click();
  EXPECT_EQ(ShownPage(), "Ticks");
}

TEST_F(PanelTest, ApplyWithOnlyTheFullScaleChangedRestartsTheGraph) {
  s.Restart = false;
  Type("edtMax", "128000");
  Find<QPushButton>("Button1")->click();
  EXPECT_THAT(host.calls, ElementsAre("Stop", "ClearPictures", "Start", "ShowGraphPage"));
  EXPECT_EQ(s.MaxBytes, 128000);
  EXPECT_TRUE(s.Restart);
  EXPECT_THAT(host.errors, IsEmpty());
}

TEST_F(PanelTest, ApplyWithOnlyAnOidChangedKeepsTheGraphRunning) {
  s.Restart = false;
  Type("edtOID1", "1.3.6.1.2.1.2.2.1.10.3");
  Find<QPushButton>("Button1")->click();
  EXPECT_THAT(host.calls, ElementsAre("ShowGraphPage"));
  EXPECT_EQ(s.Oid1.Oid, "1.3.6.1.2.1.2.2.1.10.3");
  EXPECT_FALSE(s.Restart);
  EXPECT_EQ(host.applied, 1) << "the record is the user's now";
}

TEST_F(PanelTest, ApplyWithATrailingBlankInTheHostRestarts) {
  Type("edtIP", "192.168.1.1 ");
  Find<QPushButton>("Button1")->click();
  EXPECT_THAT(host.calls, ElementsAre("Stop", "ClearPictures", "Start", "ShowGraphPage"));
  EXPECT_EQ(s.Ip, "192.168.1.1 ");
}

TEST_F(PanelTest, ApplyStopsAtTheFirstBadNumberAndKeepsThePageShown) {
  Type("edtCommunity", "other");
  Type("edtGTX", "5");
  Type("edtGTY", "twelve");
  Type("edtGBX", "300");
  Find<QPushButton>("Button1")->click();
  EXPECT_THAT(host.errors, ElementsAre("'twelve' is not a valid integer value"));
  EXPECT_THAT(host.calls, IsEmpty());  // no restart, graph page not shown
  EXPECT_EQ(host.applied, 0) << "a record half copied is not the user's choice";
  EXPECT_EQ(s.Community, "other");
  EXPECT_EQ(s.GraphTopX, 5);
  EXPECT_EQ(s.GraphTopY, 12);
  EXPECT_EQ(s.GraphBottomX, 400);
}

TEST_F(PanelTest, ApplyWithLettersInTheFullScaleChangesNothing) {
  const TPlovexSettings before = s;
  Type("edtMax", "lots");
  Type("edtIP", "127.0.0.1");
  Type("edtCommunity", "other");
  Find<QPushButton>("Button1")->click();
  EXPECT_THAT(host.errors, ElementsAre("'lots' is not a valid integer value"));
  EXPECT_THAT(host.calls, IsEmpty());
  ExpectSameSettings(s, before);
}

TEST_F(PanelTest, ARefreshBeyondTheArrowRangeIsStoredAndSetsTheTimer) {
  Type("edtRefresh", "5000");
  Find<QPushButton>("Button1")->click();
  EXPECT_EQ(s.Refresh, 5000);
  EXPECT_EQ(host.timer_period, 5000000);
  // Cancel shows the record's value, not the arrow control's end.
  Type("edtRefresh", "3");
  Find<QPushButton>("Button4")->click();
  EXPECT_EQ(Edit("edtRefresh")->text(), "5000");
}

TEST_F(PanelTest, TheCapIsTypedInGigabytesAndStoredInBytes) {
  const struct {
    const char* typed;
    const char* stored;
    const char* shown;
  } rows[] = {
      {"1000", "1000000000000", "1000"},
      {"0.5", "500000000", "0.5"},
      {"1,25", "1250000000", "1.25"},
      {" 2 ", "2000000000", "2"},
      {"0", "0", "0"},
  };
  for (const auto& row : rows) {
    Type("edtUsageCap", row.typed);
    Find<QPushButton>("Button1")->click();
    EXPECT_EQ(s.UsageCap, row.stored) << row.typed;
    panel.SettingsToControls();
    EXPECT_EQ(Edit("edtUsageCap")->text(), row.shown);
  }
  EXPECT_EQ(Find<TUpDown>("udUsageResetDay")->Range().max, 28);
}

TEST_F(PanelTest, TypedKindIsStoredAsTyped) {
  auto* combo = Find<QComboBox>("cbp1Time");
  combo->lineEdit()->selectAll();
  QTest::keyClicks(combo->lineEdit(), "time");
  Find<QPushButton>("Button1")->click();
  EXPECT_EQ(s.Texts[1].Kind, "time");
}

TEST_F(PanelTest, ColourPicksReachTheRecordOnlyThroughApplyAndCancelUndoesThem) {
  std::optional<Color> answer = 0x0000FF;
  Color offered = 0;
  panel.SetColorChooser([&](Color initial) {
    offered = initial;
    return answer;
  });
  auto* swatch = Find<TColorSwatch>("shpOID2Max");
  Find<QPushButton>("btnOID2Max")->click();
  EXPECT_EQ(offered, 0xFF4040u);
  EXPECT_EQ(swatch->Fill(), 0x0000FFu);
  EXPECT_EQ(s.Oid2.MaxColor, 0xFF4040u);

  Find<QPushButton>("Button4")->click();
  EXPECT_EQ(swatch->Fill(), 0xFF4040u);
  EXPECT_THAT(host.calls, ElementsAre("ApplyPlacement", "ShowGraphPage"));

  answer = std::nullopt;  // the user cancels the dialog
  Find<QPushButton>("btnOID1")->click();
  EXPECT_EQ(Find<TColorSwatch>("shpOID1")->Fill(), 0x008000u);

  answer = 0x112233;
  Find<QPushButton>("btnOID1")->click();
  Find<QPushButton>("Button1")->click();
  EXPECT_EQ(s.Oid1.Color, 0x112233u);
}

TEST_F(PanelTest, CancelPutsTheWindowBackWhereTheRecordHasIt) {
  s.WindowTop = 200;
  s.WindowLeft = 300;
  host.placement.Top = 10;  // the window was dragged
  host.placement.Left = 20;
  Find<QPushButton>("Button4")->click();
  EXPECT_EQ(host.placement.Top, 200);
  EXPECT_EQ(host.placement.Left, 300);
}

TEST_F(PanelTest, PositionFieldsAreReadFromTheArrowControls) {
  Type("edtTextSize", "99");  // beyond 72: the position stays
  Type("edtSaveGifFreq", "15");
  Find<QPushButton>("Button1")->click();
  EXPECT_EQ(s.TextSize, 7);
  EXPECT_EQ(s.SaveGifFreq, 15);
  EXPECT_THAT(host.errors, IsEmpty());
  // The edits show what is used, not what was typed and ignored.
  EXPECT_EQ(Edit("edtTextSize")->text(), "7");
  Type("edtSaveGifFreq", "61");
  Find<QPushButton>("Button1")->click();
  EXPECT_EQ(Edit("edtSaveGifFreq")->text(), "15");
}

TEST_F(PanelTest, TheSnmpVersionIsAppliedLikeTheHostAndCancelPutsItBack) {
  auto* version = Find<QComboBox>("cbSnmpVersion");
  EXPECT_EQ(version->currentText(), "1");
  EXPECT_EQ(version->count(), 3);
  version->setCurrentText("2c");
  EXPECT_TRUE(Edit("edtCommunity")->isEnabled());
  EXPECT_FALSE(Edit("edtSnmpUser")->isEnabled());
  Find<QPushButton>("Button4")->click();  // Cancel
  EXPECT_EQ(version->currentText(), "1");
  EXPECT_EQ(s.SnmpVersion, "1");

  version->setCurrentText("2c");
  host.calls.clear();
  Find<QPushButton>("Button1")->click();
  EXPECT_EQ(s.SnmpVersion, "2c");
  EXPECT_EQ(s.SnmpMessageVersion(), 1);
  EXPECT_THAT(host.calls, ElementsAre("Stop", "ClearPictures", "Start", "ShowGraphPage"));
  // Applied again unchanged: no restart.
  host.calls.clear();
  Find<QPushButton>("Button1")->click();
  EXPECT_THAT(host.calls, ElementsAre("ShowGraphPage"));
  // A stored text the list does not hold shows as "1", as it acts.
  s.SnmpVersion = "7";
  panel.SettingsToControls();
  EXPECT_EQ(version->currentText(), "1");
}

TEST_F(PanelTest, Version3TakesPassphrasesAsKeysAndNeverKeepsThem) {
  Find<QComboBox>("cbSnmpVersion")->setCurrentText("3");
  EXPECT_FALSE(Edit("edtCommunity")->isEnabled());
  EXPECT_TRUE(Edit("edtSnmpUser")->isEnabled());
  EXPECT_EQ(Edit("edtAuthPass")->echoMode(), QLineEdit::Password);
  Type("edtSnmpUser", "plovex");
  Find<QComboBox>("cbSnmpAuth")->setCurrentText("SHA");
  Find<QComboBox>("cbSnmpPriv")->setCurrentText("AES");

  // Refused, with nothing changed: what would make no usable user.
  const struct {
    const char* auth_pass;
    const char* priv_pass;
    const char* message;
  } refusals[] = {
      {"", "", "Type the authentication passphrase."},
      {"maplesyrup", "", "Type the privacy passphrase."},
      {"short", "maplesyrup", "A passphrase must be at least 8 characters."},
      {"maplesyrup", "sevench", "A passphrase must be at least 8 characters."},
  };
  for (const auto& r : refusals) {
    Type("edtAuthPass", r.auth_pass);
    Type("edtPrivPass", r.priv_pass);
    host.calls.clear();
    host.errors.clear();
    Find<QPushButton>("Button1")->click();
    EXPECT_THAT(host.errors, ElementsAre(r.message));
    EXPECT_THAT(host.calls, IsEmpty());
    EXPECT_EQ(s.SnmpVersion, "1");
  }

  Type("edtAuthPass", "maplesyrup");
  Type("edtPrivPass", "maplesyrup");
  host.calls.clear();
  host.errors.clear();
  Find<QPushButton>("Button1")->click();
  EXPECT_THAT(host.errors, IsEmpty());
  EXPECT_THAT(host.calls, ElementsAre("Stop", "ClearPictures", "Start", "ShowGraphPage"));
  EXPECT_EQ(s.SnmpVersion, "3");
  EXPECT_EQ(s.SnmpUser, "plovex");
  EXPECT_EQ(s.SnmpAuthProtocol, "SHA");
  EXPECT_EQ(s.SnmpPrivProtocol, "AES");
  EXPECT_EQ(s.SnmpAuthKey, "9FB5CC0381497B3793528939FF788D5D79145211");  // RFC 3414 A.3.2
  EXPECT_EQ(s.SnmpPrivKey, s.SnmpAuthKey);
  EXPECT_TRUE(Edit("edtAuthPass")->text().isEmpty());
  EXPECT_TRUE(Edit("edtPrivPass")->text().isEmpty());

  // Empty passphrases keep the keys; another protocol needs them again.
  host.calls.clear();
  Find<QPushButton>("Button1")->click();
  EXPECT_THAT(host.calls, ElementsAre("ShowGraphPage"));
  EXPECT_EQ(s.SnmpAuthKey, "9FB5CC0381497B3793528939FF788D5D79145211");
  Find<QComboBox>("cbSnmpAuth")->setCurrentText("SHA-256");
  host.errors.clear();
  Find<QPushButton>("Button1")->click();
  EXPECT_THAT(host.errors, ElementsAre("Type the authentication passphrase."));
  EXPECT_EQ(s.SnmpAuthProtocol, "SHA");
  Find<QComboBox>("cbSnmpAuth")->setCurrentText("");
  host.errors.clear();
  Find<QPushButton>("Button1")->click();
  EXPECT_THAT(host.errors, ElementsAre("Privacy needs authentication."));

  // A new authentication passphrase alone (same protocol, same user) is a new
  // key, which the client speaks with only from a restart on.
  Find<QComboBox>("cbSnmpAuth")->setCurrentText("SHA");
  Type("edtAuthPass", "newsyrup");
  host.calls.clear();
  Find<QPushButton>("Button1")->click();
  EXPECT_THAT(host.calls, ElementsAre("Stop", "ClearPictures", "Start", "ShowGraphPage"));
  EXPECT_NE(s.SnmpAuthKey, "9FB5CC0381497B3793528939FF788D5D79145211");
}

TEST_F(PanelTest, ApplyRefusesZeroDivisorsAndChangesNothing) {
  const struct {
    const char* edit;
    const char* typed;
    const char* message;
  } rows[] = {
      {"edtMax", "0", "Maximum WAN throughput must be at least 1 byte per second."},
      {"edtMax", "-64000", "Maximum WAN throughput must be at least 1 byte per second."},
      {"edtRefresh", "0", "Refresh must be at least 1 second."},
      {"edtTickFreq", "0", "Tick every must be at least 1 minute."},
      {"edtTickFreq", "$0", "Tick every must be at least 1 minute."},
      {"edtUsageResetDay", "31", "Reset day must be a day from 1 to 28."},
      {"edtUsageResetDay", "0", "Reset day must be a day from 1 to 28."},
      {"edtUsageCap", "lots", "'lots' is not a number of GB (0 for no cap)"},
      {"edtUsageCap", "-1", "'-1' is not a number of GB (0 for no cap)"},
      {"edtUsageCap", "0.0000000001", "'0.0000000001' is not a number of GB (0 for no cap)"},
  };
  const TPlovexSettings before = s;
  for (const auto& row : rows) {
    panel.SettingsToControls();
    Type("edtIP", "127.0.0.9");  // would restart the graph if it were applied
    Type(row.edit, row.typed);
    host.calls.clear();
    host.errors.clear();
    Find<QPushButton>("Button1")->click();
    EXPECT_THAT(host.errors, ElementsAre(row.message)) << row.edit << " " << row.typed;
    EXPECT_THAT(host.calls, IsEmpty()) << "the page stays, the graph runs on";
    EXPECT_EQ(s.Ip, before.Ip);
    EXPECT_EQ(s.MaxBytes, before.MaxBytes);
    EXPECT_EQ(s.Refresh, before.Refresh);
    EXPECT_EQ(s.TickFreq, before.TickFreq);
    EXPECT_EQ(s.UsageResetDay, before.UsageResetDay);
    EXPECT_EQ(s.UsageCap, before.UsageCap);
    EXPECT_EQ(host.applied, 0);
    EXPECT_EQ(Edit(row.edit)->text(), row.typed);  // kept to be mended
  }
}

// Browse fills the folder edit, Apply takes it, Open shows the folder the
// pictures go to: the one typed, else the window's own default.
TEST_F(PanelTest, TheGifPageChoosesAndOpensThePictureFolder) {
  QTemporaryDir state;
  const QByteArray old_state = qgetenv("XDG_STATE_HOME");
  qputenv("XDG_STATE_HOME", state.path().toUtf8());
  std::vector<QString> opened;
  panel.SetFolderDialogs([](const QString&) { return std::optional<QString>("/srv/pub"); },
                         [&](const QString& folder) { opened.push_back(folder); });
  Find<QPushButton>("btnGifFolder")->click();
  EXPECT_EQ(Edit("edtGifFolder")->text(), "/srv/pub");
  Find<QPushButton>("btnOpenGifFolder")->click();
  Find<QPushButton>("Button1")->click();
  EXPECT_EQ(s.GifFolder, "/srv/pub");
  Edit("edtGifFolder")->clear();
  Find<QPushButton>("btnOpenGifFolder")->click();
  // Empty: the window's own folder, made so that there is something to show.
  EXPECT_EQ(opened, (std::vector<QString>{"/srv/pub", state.path() + "/plovex"}));
  EXPECT_TRUE(QFileInfo(state.path() + "/plovex").isDir());
  qputenv("XDG_STATE_HOME", old_state);
}

TEST_F(PanelTest, TheSaveGifBoxAndResetLabelsAreTheTicksToRead) {
  EXPECT_TRUE(panel.SaveGifChecked());
  Find<QCheckBox>("chkSaveGIF")->setChecked(false);
  EXPECT_FALSE(panel.SaveGifChecked());
  EXPECT_TRUE(s.SaveGif);
  panel.SetResetCaptions("Down 13MB", "Up 2MB");
  EXPECT_EQ(Find<QLabel>("LblRstOID2")->text(), "Up 2MB");
}

}  // namespace
}  // namespace plovex

namespace plovex {
namespace {

// What the user sees whole: every label's text fits it, every kind fits the
// combo, and the tree has room for its nodes without a scroll bar.
TEST_F(PanelTest, NothingIsCutOffOrScrolled) {
  panel.resize(414, 173);
  panel.show();
  Find<QTreeWidget>("TreeView1")->expandAll();
  for (int page = 0; page < Find<QStackedWidget>("PageControl2")->count(); ++page) {
    ShowConfigPage(page);
    QCoreApplication::processEvents();
    if (const char* dir = std::getenv("PLOVEX_PANEL_SHOTS"))
      panel.grab().save(QString("%1/page%2.png").arg(dir).arg(page));
    for (QLabel* label :
         Find<QStackedWidget>("PageControl2")->currentWidget()->findChildren<QLabel*>()) {
      if (label->text().isEmpty()) continue;
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                label->contentsRect().width())
          << label->objectName().toStdString() << " on page " << page;
      EXPECT_LE(label->geometry().right(), 307) << label->objectName().toStdString();
    }
    for (QWidget* w : Find<QStackedWidget>("PageControl2")
                          ->currentWidget()
                          ->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
      EXPECT_LE(w->geometry().bottom(), 174)
          << w->objectName().toStdString() << " on page " << page;
  }
  EXPECT_TRUE(panel.findChildren<QScrollArea*>().isEmpty());
  for (int k = 1; k <= 5; ++k) {
    auto* combo = Find<QComboBox>(QString("cbp%1Time").arg(k).toLatin1().constData());
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = true;
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, combo);
    for (int i = 0; i < combo->count(); ++i)
      EXPECT_LE(combo->fontMetrics().horizontalAdvance(combo->itemText(i)), field.width() - 2)
          << "Text " << k << ": " << combo->itemText(i).toStdString();
  }
  auto* tree = Find<QTreeWidget>("TreeView1");
  EXPECT_FALSE(tree->horizontalScrollBar()->isVisible());
  for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
    const QRect row = tree->visualItemRect(*it);
    EXPECT_LE(row.x() + tree->fontMetrics().horizontalAdvance((*it)->text(0)),
              tree->viewport()->width())
        << (*it)->text(0).toStdString();
  }
}

}  // namespace
}  // namespace plovex

namespace plovex {
namespace {

TEST_F(PanelTest, TheCounterResetAsksFirstAndADeclinedResetSendsNothing) {
  std::vector<QString> asked;
  panel.SetQuestion([&](const QString& q) {
    asked.push_back(q);
    return false;
  });
  int clients = 0;
  panel.SetClientFactory([&] {
    ++clients;
    return std::make_unique<TSNMPSend>();
  });
  s.Oid1.Total = 12;
  Find<QPushButton>("BtnResetOID1")->click();
  EXPECT_THAT(asked, ElementsAre("Reset counter OID1 on 192.168.1.1? The router's own count "
                                 "starts again from 0."));
  EXPECT_EQ(clients, 0);
  EXPECT_EQ(s.Oid1.Total, 12);
  EXPECT_THAT(host.calls, IsEmpty());
}

TEST_F(PanelTest, ClearTotalForgetsTheCarriedOverMegabytesAloneAndSavesThem) {
  for (const bool yes : {false, true}) {
    SCOPED_TRACE(yes);
    panel.SetQuestion([&](const QString&) { return yes; });
    s.Oid1 = {.Value = 3 * 1048576, .PrevValue = 1048576, .Total = 12};
    s.Oid2.Total = 34;
    host.calls.clear();
    Find<QPushButton>("BtnClearOID1")->click();
    EXPECT_EQ(s.Oid1.Total, yes ? 0 : 12);
    EXPECT_EQ(s.Oid1.Value, 3 * 1048576);  // the device's count stays
    EXPECT_EQ(s.Oid2.Total, 34);
    EXPECT_EQ(host.calls,
              yes ? std::vector<std::string>{"SaveTotals"} : std::vector<std::string>{});
    EXPECT_EQ(Find<QLabel>("LblRstOID1")->text(), yes ? "Down 3MB" : "LblRstOID1");
  }
}

}  // namespace
}  // namespace plovex

namespace plovex {
namespace {

TEST_F(PanelTest, ThePassphraseEditsSayWhetherAKeyIsStored) {
  const auto placeholders = [&] {
    return Edit("edtAuthPass")->placeholderText() + "/" + Edit("edtPrivPass")->placeholderText();
  };
  EXPECT_EQ(placeholders(), "not set/not set");
  Find<QComboBox>("cbSnmpVersion")->setCurrentText("3");
  Type("edtSnmpUser", "plovex");
  Find<QComboBox>("cbSnmpAuth")->setCurrentText("SHA");
  Type("edtAuthPass", "maplesyrup");
  Find<QPushButton>("Button1")->click();
  ASSERT_THAT(host.errors, IsEmpty());
  EXPECT_EQ(placeholders(), "unchanged/not set");
  s.SnmpAuthKey.clear();
  panel.SettingsToControls();
  EXPECT_EQ(placeholders(), "not set/not set");
}

}  // namespace
}  // namespace plovex

namespace plovex {
namespace {

TEST_F(PanelTest, EveryControlSaysWhatItMeans) {
  auto* pages = Find<QStackedWidget>("PageControl2");
  std::vector<QWidget*> controls{Find<QWidget>("Button1"), Find<QWidget>("Button4")};
  for (int page = 0; page < pages->count(); ++page)
    for (QWidget* w :
         pages->widget(page)->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
      if (!qobject_cast<QLabel*>(w) && !qobject_cast<QListWidget*>(w)) controls.push_back(w);
  for (QWidget* w : controls) EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
  EXPECT_EQ(Find<QWidget>("edtTXT3X")->toolTip(),
            "Where text 3 is drawn: X in picture pixels from the left");
}

}  // namespace
}  // namespace plovex
