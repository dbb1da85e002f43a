#pragma once
// TConfigPanel: the configuration page of the main window: the tree
// (TreeView1), Apply (Button1) and Cancel (Button4), and the page set
// PageControl2 with its seventeen pages, one per tree node. It is the desktop's
// SettingsControls: SettingsToControls copies the record into its controls,
// the timer period and the window placement; ControlsToSettings copies them
// back.
//
// Ownership: the settings record and the host (the window) are owned by the
// caller and outlive the panel; every widget is owned by the panel through
// Qt's parent chain.
//
// Failure: ControlsToSettings throws PlovexError ("'%s' is not a valid integer
// value") at the first edit box whose text is not a number; the fields taken
// before it keep their new values, the rest keep their old ones. Handlers
// bound to controls show such errors through the host and return.
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/connection_check.h"
#include "core/plovex_settings.h"
#include "core/settings_schema.h"
#include "core/snmp_security.h"
#include "settings/panel/panel_host.h"
#include "settings/panel/tcolor_swatch.h"
#include "settings/panel/tup_down.h"
#include "settings/settings_controls.h"
#include "snmp/tsnmp_send.h"

namespace plovex {

class TConfigPanel : public QWidget, public SettingsControls {
  Q_OBJECT

 public:
  // Answers the colour dialog: the colour confirmed, or nothing when the
  // user cancelled. Tests replace the modal dialog with their own answer.
  using ColorChooser = std::function<std::optional<Color>(Color initial)>;

  TConfigPanel(TPlovexSettings& settings, PanelHost& host, QWidget* parent);

  void SettingsToControls() override;
  void ControlsToSettings() override;
  // SettingsToControls without the window: the controls only, for a panel
  // built after the settings were loaded.
  void ShowSettings();

  // The checked state of "Save to GIF every", which the tick follows.
  bool SaveGifChecked() const;
  // The captions of LblRstOID1 and LblRstOID2.
  void SetResetCaptions(const QString& oid1, const QString& oid2);
  // Shows page `index` of PageControl2 (0 "About" .. 16 "Usage", 17 "Notifications").
  void ShowPage(int index);
  // Shows the page captioned `caption` with its node selected and in view
  // (its parent expanded), as a click on the node would.
  void ShowPageCaptioned(const QString& caption);
  // The picture on the "About" page.
  void SetAppIcon(const QIcon& icon);
  void SetColorChooser(ColorChooser chooser) { choose_color_ = std::move(chooser); }
  // Makes the short-lived client of each counter reset; tests hand out one
  // over an in-memory network.
  using ClientFactory = std::function<std::unique_ptr<TSNMPSend>()>;
  void SetClientFactory(ClientFactory factory) { make_client_ = std::move(factory); }
  // The picture folder's Browse dialog (the folder chosen, or nothing) and
  // Open (shows a folder in the file manager); tests answer both.
  using FolderChooser = std::function<std::optional<QString>(const QString& start)>;
  using FolderOpener = std::function<void(const QString& folder)>;
  void SetFolderDialogs(FolderChooser choose, FolderOpener open) {
    choose_folder_ = std::move(choose);
    open_folder_ = std::move(open);
  }
  // Asks the user a yes-or-no question before something that cannot be
  // undone (a counter reset on the device); true for yes. Tests answer it.
  using Question = std::function<bool(const QString& text)>;
  void SetQuestion(Question ask) { ask_ = std::move(ask); }
  // Runs the interface list modally; tests answer it without an event loop.
  using DialogRunner = std::function<int(QDialog&)>;
  void SetDialogRunner(DialogRunner runner) { run_dialog_ = std::move(runner); }
  // Whether the Test button's host resolves; tests answer without a resolver.
  void SetHostLookup(HostLookup lookup) { host_known_ = std::move(lookup); }

  // The poll moved the counters to the followed interface's new index: the
  // OID pages show the record's identifiers (other edits stay as typed).
  void ShowFollowedInterface();

 public slots:
  void TreeView1Click();
  void Button1Click();  // Apply
  void Button4Click();  // Cancel
  void btnOID1Click();
  void btnOID1MaxClick();
  void btnOID2Click();
  void btnOID2MaxClick();
  void BtnResetOID1Click();
  void BtnResetOID2Click();
  // "Clear total": forgets the channel's carried-over megabytes, saved at
  // once; the device is not asked.
  void BtnClearOID1Click();
  void BtnClearOID2Click();
  void btnInterfacesClick();  // "Interfaces…" on either OID page
  void btnTestClick();        // "Test" on the Network page

 private:
  // The controls of page "GraphOID1" or "GraphOID2".
  struct ChannelControls {
    TColorSwatch* shp = nullptr;
    TColorSwatch* shpMax = nullptr;
    QPushButton* btn = nullptr;
    QPushButton* btnMax = nullptr;
    QCheckBox* chkFull = nullptr;
    QCheckBox* chkGradient = nullptr;
    QLineEdit* edtX = nullptr;
    QLineEdit* edtY = nullptr;
    QLineEdit* edtOID = nullptr;
    QPushButton* btnInterfaces = nullptr;
  };
  // The controls of page "Text k".
  struct OverlayControls {
    QCheckBox* chkTxt = nullptr;
    QLineEdit* edtTXT = nullptr;
    QLineEdit* edtP = nullptr;
    QComboBox* cbpTime = nullptr;
    QLineEdit* edtTXTX = nullptr;
    QLineEdit* edtTXTY = nullptr;
  };

  void BuildTree();
  void AddPage(const char* caption);
  QWidget* Page(const QString& caption) const;
  void BuildAboutPage();
  void BuildNetworkPage();
  void BuildSnmpPage();
  // The passphrase edits say whether a key is stored ("not set", "unchanged").
  void ShowStoredKeys();
  void BuildGraphPage();
  void BuildChannelPage(int k);
  void BuildTicksPage();
  void BuildRefreshPage();
  void BuildGifPage();
  void BuildTextPage();
  void BuildOverlayPage(int k);
  void BuildResetPage();
  // The billing period's reset day and the cap, typed in GB.
  void BuildUsagePage();
  // Refuses a reset day outside 1..28 and a cap that is not a number of GB,
  // with the field focused, before anything is taken.
  void CheckUsagePage() const;
  void BuildNotificationsPage();
  void AddToolTips();

  // A control bound to the row of the setting it edits, as the page builds
  // it: it shows the row's field of a record, and takes it back (an edit
  // that is not a number throws PlovexError). There is one Bind per kind of
  // control and type of field, so a control bound to a field it cannot hold
  // does not compile. A number edit may have arrows, which show the value
  // within their range.
  struct Binding {
    std::function<void(const TPlovexSettings&)> show;
    std::function<void(TPlovexSettings&)> take;
  };
  QLineEdit* Bind(const SettingRow<std::string>& row, QLineEdit* edit);
  QComboBox* Bind(const SettingRow<std::string>& row, QComboBox* combo);
  QLineEdit* Bind(const SettingRow<std::int32_t>& row, QLineEdit* edit, TUpDown* arrows = nullptr);
  TUpDown* Bind(const SettingRow<std::int32_t>& row, TUpDown* arrows);
  QCheckBox* Bind(const SettingRow<bool>& row, QCheckBox* box);
  TColorSwatch* Bind(const SettingRow<Color>& row, TColorSwatch* swatch);
  // Every bound control shows its field of `s`.
  void FillControls(const TPlovexSettings& s);

  void Apply();
  void RequireAtLeastOne(QLineEdit* edit, const char* message) const;
  // The version 3 controls are for version 3 only; the community is not.
  void SnmpVersionChosen();
  // The version 3 settings and passphrases as typed.
  TypedSecurity Typed() const;
  // Refuses version 3 settings that would make no usable user, with the
  // offending field focused.
  void CheckSecurity() const;
  // Turns typed passphrases into the record's master keys and clears them.
  void TakePassphrases();
  void PickColor(TColorSwatch* swatch);
  void ResetCounter(int k, const QLineEdit* oid_edit);
  void ClearTotal(int k);
  bool Ask(const QString& question) const;
  // The record with the Network page's values as typed (passphrases made
  // into keys); throws PlovexError for version 3 settings that make no user.
  TPlovexSettings TypedNetwork() const;
  // The full scale in Mbit/s beside the Bytes field.
  void ShowMaxRate();

  TPlovexSettings& s_;
  PanelHost& host_;
  ColorChooser choose_color_;
  ClientFactory make_client_ = [] { return std::make_unique<TSNMPSend>(); };
  FolderChooser choose_folder_;
  FolderOpener open_folder_;
  DialogRunner run_dialog_ = [](QDialog& dialog) { return dialog.exec(); };
  HostLookup host_known_ = &HostResolves;
  Question ask_;

  QTreeWidget* TreeView1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button4 = nullptr;
  QStackedWidget* PageControl2 = nullptr;
  QColorDialog* cdialOID = nullptr;

  QLabel* Image2 = nullptr;
  QLineEdit* edtIP = nullptr;
  QLineEdit* edtCommunity = nullptr;
  QComboBox* cbSnmpVersion = nullptr;
  QLineEdit* edtSnmpUser = nullptr;
  QComboBox* cbSnmpAuth = nullptr;
  QLineEdit* edtAuthPass = nullptr;
  QComboBox* cbSnmpPriv = nullptr;
  QLineEdit* edtPrivPass = nullptr;
  QPushButton* btnTest = nullptr;
  QLabel* lblTestResult = nullptr;
  QLineEdit* edtMax = nullptr;
  QLabel* lblMaxRate = nullptr;
  QLineEdit* edtInterface = nullptr;
  QLineEdit* edtTextSize = nullptr;
  TUpDown* udTextSize = nullptr;
  QLineEdit* edtGTX = nullptr;
  QLineEdit* edtGTY = nullptr;
  QLineEdit* edtGBX = nullptr;
  QLineEdit* edtGBY = nullptr;
  QCheckBox* chkTotal = nullptr;
  QLineEdit* edtTotalX = nullptr;
  QLineEdit* edtTotalY = nullptr;
  QCheckBox* chkSaveGIF = nullptr;
  QLineEdit* edtSaveGifFreq = nullptr;
  TUpDown* udSaveGifFreq = nullptr;
  QLineEdit* edtGifFolder = nullptr;
  QCheckBox* chkVticks = nullptr;
  QCheckBox* chkHticks = nullptr;
  QCheckBox* chkGLabel = nullptr;
  QLineEdit* edtRefresh = nullptr;
  TUpDown* udRefresh = nullptr;
  QLineEdit* edtTickFreq = nullptr;
  TUpDown* udTickFreq = nullptr;
  std::array<ChannelControls, 2> channels_;  // [0] counter 1, [1] counter 2
  std::array<OverlayControls, 5> overlays_;  // [0] overlay 1 .. [4] overlay 5
  std::vector<Binding> bindings_;            // in the order of ControlsToSettings
  QPushButton* BtnResetOID1 = nullptr;
  QLabel* LblRstOID1 = nullptr;
  QPushButton* BtnResetOID2 = nullptr;
  QLabel* LblRstOID2 = nullptr;
  QPushButton* BtnClearOID1 = nullptr;
  QPushButton* BtnClearOID2 = nullptr;
  QLineEdit* edtUsageResetDay = nullptr;
  TUpDown* udUsageResetDay = nullptr;
  QLineEdit* edtUsageCap = nullptr;
};

}  // namespace plovex
