// The main window: its layout, start-up, set-up of sound, display and graphics in one of
// the four display types, teardown and closing.
#include "tesk/shell/Unit1.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <thread>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Fmod.h"
#include "platform/FramePresenter.h"
#include "platform/Params.h"
#include "platform/Streams.h"
#include "tesk/editor/AdvancedSettingsForms.h"
#include "tesk/editor/EditorForm.h"
#include "tesk/game/EndOFLevelPopups.h"
#include "tesk/game/Fonts.h"
#include "tesk/game/GameEngine.h"
#include "tesk/game/Players.h"
#include "tesk/game/PopUpForm.h"
#include "tesk/game/Settings.h"
#include "tesk/game/SidePanel.h"
#include "tesk/game/SlabDialogs.h"
#include "tesk/game/Tiles.h"
#include "tesk/game/Units.h"
#include "tesk/shell/ClearProgressDialogs.h"
#include "tesk/shell/ConfigFile.h"
#include "tesk/shell/DisplayModeQuery.h"
#include "tesk/shell/LevelResultForms.h"
#include "tesk/toolkit/Faudio.h"
#include "tesk/toolkit/Misc.h"
#include "tesk/toolkit/PackageFiles.h"

TForm1* Form1 = nullptr;
bool StartupFailed = false;

namespace {

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The data package beside the program.
const char* const DataPackage = "Base.Tarvol";

// Why the data package is not mounted, in words a user can act on, with its full path;
// empty when it is.
std::string DataPackageNote()
{
    for (const auto& package : Packages())
        if (SameTrimmedText(ExtractFileName(package->FileName()), DataPackage))
            return {};
    std::string path = ApplicationDir();
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += DataPackage;
    const std::string missing = std::string("The data package \"") + DataPackage + "\" beside the program is missing: ";
    const std::string unreadable =
        std::string("The data package \"") + DataPackage + "\" beside the program is not a readable zip archive: ";
    std::error_code ec;
    const std::filesystem::file_status link = std::filesystem::symlink_status(path, ec);
    if (!std::filesystem::exists(link))
        return missing + path;
    const std::filesystem::file_status target = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(target)) {
        const std::string to = std::filesystem::read_symlink(path, ec).string();
        return missing + path + " is a link to \"" + to + "\", which does not exist";
    }
    if (std::filesystem::is_directory(target))
        return unreadable + path + " is a folder";
    if (!std::filesystem::is_regular_file(target))
        return unreadable + path + " is not a regular file";
    return unreadable + path;
}

} // namespace

std::string FailureNotes(const std::exception& e)
{
    std::string notes;
    if (const std::string cause = SoundLoadCause(e); !cause.empty())
        notes += "\rCause: " + cause;
    if (const std::string package = DataPackageNote(); !package.empty())
        notes += "\r" + package;
    return notes;
}

namespace {

// The text of an exception of any kind.
std::string TextOf(const std::exception& e)
{
    if (const auto* x = dynamic_cast<const Exception*>(&e))
        return x->Message();
    return e.what();
}

} // namespace

uint8_t ChooseDisplayType()
{
    if (UseBitBlt)
        return FullScreen ? dtFullScreenBitmap : dtWindowedBitmap;
    return FullScreen ? dtFullScreenDirectDraw : dtWindowedDirectDraw;
}

void CreateProgramForms()
{
    Application->CreateForm(Form1);
    Application->CreateForm(Editor);
    Application->CreateForm(QueryDisplayForm);
    Application->CreateForm(PopUp);
    Application->CreateForm(LevelPartialSuccessForm);
    Application->CreateForm(LevelFailureForm);
    Application->CreateForm(LevelSuccessForm);
    Application->CreateForm(AdvancedSettingsForm);
    Application->CreateForm(ClearProgressDialog);
    PostMessage(Form1->Handle(), WM_STARTUP, 0, 0);
}

std::string StartupFailureText(const std::string& message, uintptr_t address)
{
    return message + " at $" + IntToHexStr(static_cast<int32_t>(address & 0xFFFFFFFFu)) + "\r" +
           "Last operation performed: " + LastOperation;
}

std::string FailureBoxText(const std::exception& e)
{
    return StartupFailureText(TextOf(e), reinterpret_cast<uintptr_t>(&e)) + FailureNotes(e);
}

// ---------------------------------------------------------------------------------------
// Layout

TForm1::TForm1()
{
    SetBorderStyle(bsSizeable);
    SetKeyPreview(true);
    SetColor(clBlack);
    SetClientWidth(640);
    SetClientHeight(480);

    auto mouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { PaintBox1MouseDown(s, b, sh, x, y); };
    auto mouseMove = [this](TObject* s, TShiftState sh, int x, int y) { PaintBox1MouseMove(s, sh, x, y); };
    auto mouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { PaintBox1MouseUp(s, b, sh, x, y); };

    PaintBox2 = PlaceControl<TPaintBox>(this, 0, 0, 640, 480);
    PaintBox2->SetAlign(alClient);
    PaintBox2->OnPaint = [this](TObject* s) { PaintBox2Paint(s); };
    PaintBox2->OnMouseDown = mouseDown;
    PaintBox2->OnMouseMove = mouseMove;
    PaintBox2->OnMouseUp = mouseUp;

    VideoPanel = PlaceControl<TPanel>(this, 0, 0, 640, 480);
    VideoPanel->SetColor(clBlack);
    VideoPanel->SetBevelOuter(bvNone);
    VideoPanel->SetVisible(false);
    PaintBox1 = PlaceControl<TPaintBox>(VideoPanel, 0, 0, 640, 480);
    PaintBox1->SetAlign(alClient);
    PaintBox1->SetCursor(crCross);
    PaintBox1->OnPaint = [this](TObject* s) { PaintBox1Paint(s); };
    PaintBox1->OnMouseDown = mouseDown;
    PaintBox1->OnMouseMove = mouseMove;
    PaintBox1->OnMouseUp = mouseUp;

    MMTimer1 = new TMMTimer(this);
    MMTimer1->SetEnabled(false);
    MMTimer1->SetInterval(20);
    MMTimer1->SetResolution(1);
    MMTimer1->OnTimer = [this](TObject* s, int32_t ticks) { MMTimer1Timer(s, ticks); };

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnShow = [this](TObject* s) { FormActivate(s); };
    OnResize = [this](TObject* s) { FormResize(s); };
    OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { FormKeyDown(s, k, sh); };
    OnKeyUp = [this](TObject* s, WORD& k, TShiftState sh) { FormKeyUp(s, k, sh); };
    OnKeyPress = [this](TObject* s, char& k) { FormKeyPress(s, k); };
    OnMouseDown = mouseDown;
    OnMouseMove = mouseMove;
    OnMouseUp = mouseUp;

    SetMessageHandler(WM_STARTUP, [this](TMessage& m) { WMStartUp(m); });
    SetMessageHandler(WM_CLOSEGAME, [this](TMessage& m) { WMCloseGame(m); });
    SetMessageHandler(WM_FREEPLAYERS, [this](TMessage& m) { WMFreePlayers(m); });
    SetMessageHandler(WM_SETDISPLAYTYPE, [this](TMessage& m) { WMSetDisplayType(m); });
    SetMessageHandler(WM_RELOADDATA, [this](TMessage& m) { WMReloadData(m); });
    SetMessageHandler(WM_REINITAUDIO, [this](TMessage& m) { WMReinitAudio(m); });
    SetMessageHandler(WM_DISPLAYCHANGE, [this](TMessage& m) { WMDisplayChange(m); });
}

TForm1::~TForm1()
{
    try {
        FreeWhatIsLeft();
    } catch (...) {
        // Nothing may leave a destructor.
    }
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::FreeWhatIsLeft()
{
    MMTimer1->SetEnabled(false);
    if (SetUpDone || FrameBuffer || DirectDrawReady) {
        // A quiet teardown: no step boxes while the program ends.
        const bool shown = ShowDebugMessages;
        ShowDebugMessages = false;
        try {
            ShutDownEverything();
        } catch (const std::exception&) {
            CurrentDib = nullptr;
            FrameBuffer.reset();
            FreeAllDibs();
            ReleaseDirectDraw();
            FSOUND_Close();
        }
        ShowDebugMessages = shown;
    }
    Engine = nullptr;
    FEngine.reset();
    if (MainFormRef == this)
        MainFormRef = nullptr;
}

// ---------------------------------------------------------------------------------------
// Creation and start-up

void TForm1::FormCreate(TObject*)
{
    try {
        SetCurrentDir(ApplicationDir());
        CreateLevelPickButtons();
        Application->OnActivate = [this](TObject* s) { FormActivate(s); };
        AddPackage(DataPackage);
        InstallPackageFileCallbacks();
        ReadConfigFile();
        const std::string set = ParamValue("Set");
        if (!set.empty() && PackageFileExists(set))
            LevelSetFileName = set;
        VideoPanel->ControlStyle |= csOpaque;
        SetClientWidth(640);
        SetClientHeight(480);
        MainFormRef = this;
        ActiveDisplayType = dtWindowedBitmap;
        if (ParamSwitch("ShowDebugmessages"))
            ShowDebugMessages = true;
        if (ParamSwitch("UseSystemMemoryBackBuffer"))
            SystemMemoryBackBuffer = true;
        ForceExclusive = !ParamSwitch("DontForceExclusiveMode");
        FEngine = std::make_unique<tGameEngine>();
        Engine = FEngine.get();
        Engine->AcceptInput = true;
        Engine->LoadLevelSet(LevelSetFileName);
        ProfileReset();
        NoVideo = ParamSwitch("NoVideo");
    } catch (const std::exception& e) {
        ShowMessage(TextOf(e) + FailureNotes(e));
        StartupFailed = true;
        Application->Terminate();
    }
    FormResize(this);
    SetCaption("");
}

void TForm1::FormResize(TObject*)
{
    LayoutLevelPickButtons();
    VideoPanelResized();
}

void TForm1::WMStartUp(TMessage&)
{
    if (StartupFailed)
        return;
    // A close that arrives meanwhile waits for the end of set-up.
    SettingUp = true;
    try {
        if (Editor)
            Editor->ProfilingCheckBox->SetCaption("Profile (disabled in this build)");
        Application->ProcessMessages();
        Sleep(10);
        Application->ProcessMessages();
        if (ParamSwitch("FullScreen"))
            FullScreen = true;
        if (ParamSwitch("BitBlt"))
            UseBitBlt = true;
        SetDisplayType(ChooseDisplayType());
        SetUpEverything();
    } catch (const std::exception& e) {
        FailSetUp(e);
    }
    SettingUp = false;
    RunDeferred();
}

void TForm1::FailSetUp(const std::exception& e)
{
    SettingUp = false;
    ReleaseDirectDraw();
    ShowMessage(FailureBoxText(e));
    StartupFailed = true;
    FPendingClose = false;
    FPendingRebuild = {};
    Application->Terminate();
}

void TForm1::SetDisplayType(uint8_t t)
{
    DisplayType = t;
    const bool windowed = t == dtWindowedDirectDraw || t == dtWindowedBitmap;
    const bool hadFrame = BorderStyle() != bsNone;
    SetBorderStyle(windowed ? bsSizeable : bsNone);
    // A window that gets its frame back goes back to its place at once, before the
    // display question or anything else shows over it.
    if (windowed && !hadFrame && WindowPlaced)
        PlaceWindow();
}

// ---------------------------------------------------------------------------------------
// Set-up

void TForm1::SetUpEverything()
{
    DebugMessage("SetUpEverything begins");
    DesktopDepth = Screen->BitsPerPixel();
    Desktop16 = DesktopDepth == 16;
    SettingUp = true;
    InitAudio();
    Application->ProcessMessages();
    SetUpDisplayAndGraphics();
    DebugMessage("Initializing the little bits that aren't Graphics or sounds.");
    InitGameEngineData();
    InitPlayerData();
    InitUnitData();
    InitSidePanel();
    InitSlabDialogs();
    DebugMessage("Little bits initialised.");
    if (!Engine)
        throw Exception("Engine was nil at SetUpEverything");
    const bool first = !FFirstSetUpDone;
    FFirstSetUpDone = true;
    const int32_t entry = first ? TestStartEntry() : -1;
    if (Engine->GameRunning) {
        Engine->StartCurrentEntry();
    } else if (entry >= 0 && entry < Engine->LevelSet.Count()) {
        Engine->GoToSetEntry(entry);
    } else {
        if (entry >= 0)
            std::fprintf(stderr, "TP_START_ENTRY=%d is not an entry of the level set; the menu opens\n", entry);
        Engine->OpenMenu();
    }
    DebugMessage("Initializing editor");
    if (Editor)
        Editor->InitEditor();
    DebugMessage("Editor initialized");
    SettingUp = false;
    DebugMessage("SetUpEverything ends");
    SetUpDone = true;
}

void TForm1::InitAudio()
{
    DebugMessage("Attempting to Initialize FMOD");
    InitFMOD();
    LoadSoundData();
    DebugMessage("FMOD Initialized");
}

void TForm1::InitFMOD()
{
    InitFMODOnOutput(SoundDevice);
}

void TForm1::InitFMODOnOutput(uint8_t output)
{
    DebugMessage("FSound_SetDriver(0);");
    FSOUND_SetDriver(0);
    FSOUND_SetOutput(output);
    FSOUND_SetMixer(0);
    int driver = 0;
    FSoundStarted = FSOUND_Init(44100, 64, 0);
    if (!FSoundStarted) {
        // Start-up does not look at the second try: a failure shows in the loaders.
        driver = -1;
        FSOUND_SetDriver(-1);
        FSoundStarted = FSOUND_Init(44100, 64, 0);
    }
    const char* name = FSOUND_GetDriverName(driver);
    SoundDriverText = name ? name : "";
    FSOUND_SetSFXMasterVolume(255);
    SfxVolume = 255;
}

void TForm1::LoadSoundData()
{
    DebugMessage("Loading Sound data");
    LoadGameEngineSoundData();
    LoadPlayerSoundData();
    LoadUnitSoundData();
    LoadSidePanelSoundData();
    LoadSlabDialogSoundData();
    DebugMessage("Sound Data Loaded");
}

void TForm1::FreeSoundData()
{
    FreeGameEngineSoundData();
    FreePlayerSoundData();
    FreeUnitSoundData();
    FreeSidePanelSoundData();
    FreeSlabDialogSoundData();
}

void TForm1::SetUpDisplayAndGraphics()
{
    InitDirectDrawAndDisplay();
    BlackenDrawingSurface();
    ShowSurfaceOverFrame(this, ClientRect());
    DebugMessage("Enabling timer");
    MMTimer1->SetEnabled(true);
    DebugMessage("Timer Enabled");
    FitWindowToScreen(Screen->Width(), Screen->Height());
    LoadGraphicsData();
    SetFocus();
}

void TForm1::BlackenDrawingSurface()
{
    TCanvas& canvas = PaintBox2->Canvas();
    canvas.Brush.Color = clBlack;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(PaintBox2->ClientRect());
    canvas.Pen.Color = clWhite;
    canvas.Font.Color = clWhite;
}

void TForm1::InitDirectDrawAndDisplay()
{
    // A program that is to close once set up asks nothing: it runs windowed meanwhile.
    if (DisplayType == dtWindowedDirectDraw && !Desktop16)
        SetDisplayType(FPendingClose || AskDisplayQuestion() == mrRunWindowed ? dtWindowedBitmap
                                                                               : dtFullScreenDirectDraw);
    DebugMessage("Attempting to init DirectDraw");
    CreateDirectDraw();
    DebugMessage("DirectDraw init done");
    SetScreenPixelFormat(DefaultPixelFormat);
    DebugMessage("Attempting to init Display");
    SetUpDisplay(DisplayType);
    DebugMessage("Display init done");
    DirectDrawReady = true;
}

void TForm1::SetUpDisplay(uint8_t t)
{
    // The failure texts name the address of the exception being handled: there is none.
    const std::string at = " failed at $" + IntToHexStr(0);
    DDWindowHandle window = PresentWindowOf(this);
    if (t == dtFullScreenDirectDraw || t == dtFullScreenBitmap) {
        if (!Desktop16 || ForceExclusive) {
            DebugMessage("Going Exclusive");
            const HRESULT hr = DirectDrawObject->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
            if (hr != DD_OK)
                throw EDirectDraw("DirectDraw.SetCooperativeLevel" + at, hr);
            DebugMessage("Exclusive");
        } else {
            const HRESULT hr = DirectDrawObject->SetCooperativeLevel(window, DDSCL_NORMAL);
            if (hr != DD_OK)
                throw EDirectDraw("DirectDraw.SetCooperativeLevel" + at, hr);
        }
        DebugMessage("Setting display mode");
        const HRESULT hr = DirectDrawObject->SetDisplayMode(640, 480, 16, 0, 0);
        if (hr != DD_OK)
            throw EDirectDraw("DirectDraw.SetDisplayMode" + at, hr);
        Application->ProcessMessages();
        DebugMessage("Mode should be changed");
    } else {
        DebugMessage("DirectDraw.SetCooperativeLevel(handle,DDSCL_Normal)");
        const HRESULT hr = DirectDrawObject->SetCooperativeLevel(window, DDSCL_NORMAL);
        if (hr != DD_OK)
            throw EDirectDraw("DirectDraw.SetCooperativeLevel" + at, hr);
        PlaceWindow();
    }
    if (t == dtWindowedDirectDraw) {
        DebugMessage("Creating windowed DirectDraw framebuffer");
        FrameBuffer = tDib16::CreatePrimary(640, 480);
    } else if (t == dtFullScreenDirectDraw) {
        DebugMessage("Creating FullScreen DirectDraw framebuffer");
        FrameBuffer = tDib16::CreatePrimary(640, 480);
    } else {
        DebugMessage("Using a DIB for a framebuffer");
        FrameBuffer = std::make_unique<tDib16>(640, 480);
    }
    // Only the frame buffer records dirty rectangles and keeps a cover mask.
    FrameBuffer->RecordDirtyRects = true;
    FrameBuffer->SetUseCoverMask(true);
    CurrentDib = FrameBuffer.get();
    ActiveDisplayType = t;
}

void TForm1::PlaceWindow()
{
    // Back from full screen the window may still be as large as the screen: it is placed
    // at its windowed size.
    SetClientWidth(640);
    SetClientHeight(480);
    if (!WindowPlaced) {
        SavedLeft = (Screen->Width() - Width()) / 2;
        SavedTop = (Screen->Height() - Height()) / 2;
        WindowPlaced = true;
    }
    PlaceFrame(SavedLeft, SavedTop);
}

void TForm1::RememberWindowPlace()
{
    const bool windowed = ActiveDisplayType == dtWindowedDirectDraw || ActiveDisplayType == dtWindowedBitmap;
    if (!WindowPlaced || !SetUpDone || !windowed || BorderStyle() == bsNone || WindowState() != wsNormal)
        return;
    SavedLeft = Left();
    SavedTop = Top();
}

void TForm1::FitWindowToScreen(int w, int h)
{
    if (Left() + Width() >= w)
        SetLeft((w - Width()) / 2);
    if (Top() + Height() >= h)
        SetTop((h - Height()) / 2);
    // Nor above or left of the screen: the title bar stays within reach.
    if (Left() < 0)
        SetLeft(0);
    if (Top() < 0)
        SetTop(0);
    // A display mode set covers the screen with the window already (the screen keeps its
    // size); a screen that really is 640 wide is covered here.
    const bool modeSet = DirectDrawObject && DirectDrawObject->DisplayModeSet();
    if (modeSet || w == 640) {
        SetBorderStyle(bsNone);
        if (!modeSet)
            SetBounds(0, 0, w, h);
    } else {
        SetBorderStyle(bsSizeable);
        SetClientWidth(640);
        SetClientHeight(480);
    }
}

void TForm1::LoadGraphicsData()
{
    DebugMessage("Loading Graphics data");
    // Each loader's name is the last operation while it runs.
    static constexpr struct {
        const char* Name;
        void (*Load)();
    } loaders[] = {{"LoadGameEngineGraphicsData", LoadGameEngineGraphicsData},
                   {"LoadPlayerGraphicsData", LoadPlayerGraphicsData},
                   {"LoadUnitGraphicsData", LoadUnitGraphicsData},
                   {"LoadSidePanelGraphicsData", LoadSidePanelGraphicsData},
                   {"LoadFontGraphicsData", LoadFontGraphicsData},
                   {"LoadSlabDialogGraphicsData", LoadSlabDialogGraphicsData},
                   {"LoadEndOfLevelPopupsGraphicsData", LoadEndOfLevelPopupsGraphicsData}};
    for (const auto& loader : loaders) {
        LastOperation = loader.Name;
        loader.Load();
    }
    DebugMessage("Setting tile set");
    LoadTileSet("BasicTiles.jpg");
    LoadOverlayTileSet("BasicOverlay.jpg");
    DebugMessage("Tile set set");
    DebugMessage("Graphics data Loaded");
}

void TForm1::FreeGraphicsData()
{
    DebugMessage("Freeing Graphics data");
    FreeGameEngineGraphicsData();
    FreePlayerGraphicsData();
    FreeUnitGraphicsData();
    FreeSidePanelGraphicsData();
    FreeFontGraphicsData();
    FreeSlabDialogGraphicsData();
    FreeEndOfLevelPopupsGraphicsData();
    DebugMessage("Graphics Data Freed");
}

// ---------------------------------------------------------------------------------------
// Teardown and closing

void TForm1::ShutDownEverything()
{
    struct Flag {
        bool& F;
        explicit Flag(bool& f) : F(f) { F = true; }
        ~Flag() { F = false; }
    } shuttingDown(ShuttingDown);
    RememberWindowPlace();
    // The level-pick screen paints from pictures that are about to go.
    if (LevelPickScreenVisible())
        HideLevelPickScreen();
    MMTimer1->SetEnabled(false);
    if (Editor)
        Editor->FreeEditorData();
    if (Engine)
        Engine->BackgroundDib = nullptr;
    CurrentDib = nullptr;
    FrameBuffer.reset();
    DoneSlabDialogs();
    FreePlayerData();
    FreeUnitData();
    DoneSidePanel();
    FreeGameEngineData();
    FreeDisplayAndGraphics();
    // Nothing of the engine's may keep playing through the sound library it closes, nor
    // keep a channel number of it.
    StopFuseSounds();
    if (Engine)
        Engine->SetMusic("");
    DoneAudio();
    SetUpDone = false;
}

void TForm1::FreeDisplayAndGraphics()
{
    FreeGraphicsData();
    ReleaseDisplay();
}

void TForm1::ReleaseDisplay()
{
    FreeAllDibs();
    ReleaseDirectDraw();
    DirectDrawReady = false;
}

void TForm1::DoneAudio()
{
    FreeSoundData();
    FSOUND_Close();
}

void TForm1::FormCloseQuery(TObject*, bool& CanClose)
{
    // While set-up runs, or code that a teardown would pull the ground from under, the
    // close waits and is carried out afterwards.
    if (SettingUp || MustDefer()) {
        CanClose = false;
        FPendingClose = true;
        return;
    }
    if (Closing) {
        // Asked again while the close runs: the first one ends the program.
        CanClose = false;
        return;
    }
    FPendingClose = false;
    if (!Engine)
        return;
    try {
        Closing = true;
        MMTimer1->SetEnabled(false);
        Sleep(100);
        Application->ProcessMessages();
        // A close that comes before set-up has nothing to take down.
        if (SetUpDone || FrameBuffer || DirectDrawReady)
            ShutDownEverything();
        Engine = nullptr;
        FEngine.reset();
        Sleep(100);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Closing: %s\n", TextOf(e).c_str());
        Engine = nullptr;
        FEngine.reset();
    }
    // The settings are written whatever happened above.
    try {
        WriteConfigFile();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Config.cfg not written: %s\n", TextOf(e).c_str());
        ShowMessage("Could not save the settings \"" + ConfigFileName() + "\": " + FailureReason(e));
    }
}
