#pragma once

#include <QKeySequence>

// The commands of the main frame with their menu texts, the prompt shown while one is
// highlighted and the tooltip of its toolbar button.
namespace vr5 {

enum class Command {
    LogStatus,
    Open,
    Print,
    PrintPreview,
    PrintSetup,
    PrintMany,
    Send,
    Analyze,
    AppendNotes,
    Settings,
    Exit,
    Toolbar,
    About,
    New,
    Evaluation,
    EvaluateMany,
    ZoomIn,
    ZoomOut,
    ActualSize,
    FitWidth,
    UserGuide,
};

struct CommandText {
    Command id;
    const char* text;
    const char* prompt;
    const char* tip;
    QKeySequence::StandardKey key;
};

inline constexpr CommandText kCommands[] = {
    {Command::LogStatus, "&Log/Status...", "Setup to log a joint or check probe status",
     "Log/Status", QKeySequence::UnknownKey},
    {Command::Open, "&Open...", "Open an existing document", "Open", QKeySequence::Open},
    {Command::Print, "&Print...", "Print the active document", "Print", QKeySequence::Print},
    {Command::PrintPreview, "Print Pre&view", "Display full pages", "Print Preview",
     QKeySequence::UnknownKey},
    {Command::PrintSetup, "P&rint Setup...", "Change the printer and printing options",
     "Print Setup", QKeySequence::UnknownKey},
    {Command::PrintMany, "Print &Many...", "Print several joint reports and certificates at once",
     "Print Many", QKeySequence::UnknownKey},
    {Command::Send, "Sen&d...", "Send the active document through electronic mail", "Send Mail",
     QKeySequence::UnknownKey},
    {Command::Analyze, "Analyze...", "Analyze a stretch of the joint's pressure record", "Analyze",
     QKeySequence::UnknownKey},
    {Command::AppendNotes, "Append Notes...",
     "Append notes to joint report.  Notes appended cannot be changed or deleted.", "Append Notes",
     QKeySequence::UnknownKey},
    {Command::Settings, "&Settings...",
     "Change the serial port, units, temperature offset and demo mode", "Settings",
     QKeySequence::UnknownKey},
    {Command::Exit, "E&xit", "Quit the application", "Exit", QKeySequence::UnknownKey},
    {Command::Toolbar, "&Toolbar", "Show or hide the toolbar", "Toggle ToolBar",
     QKeySequence::UnknownKey},
    {Command::About, "&About VR5-XP...",
     "Display program information, version number and copyright", "About",
     QKeySequence::UnknownKey},
    {Command::New, "&New", "Close the report and show the start picture", "New", QKeySequence::New},
    {Command::Evaluation, "&Evaluation",
     "Show the joint checked against a fusion procedure instead of the report", "Evaluation",
     QKeySequence::UnknownKey},
    {Command::EvaluateMany, "&Evaluate Many...",
     "Check several joint reports against the fusion procedure and save a job summary",
     "Evaluate Many", QKeySequence::UnknownKey},
    {Command::ZoomIn, "Zoom &In", "Show the page larger", "Zoom In", QKeySequence::ZoomIn},
    {Command::ZoomOut, "Zoom &Out", "Show the page smaller", "Zoom Out", QKeySequence::ZoomOut},
    {Command::ActualSize, "&Actual Size", "Show the page at its true size", "Actual Size",
     QKeySequence::UnknownKey},
    {Command::FitWidth, "Fit &Width", "Show the page as wide as the window", "Fit Width",
     QKeySequence::UnknownKey},
    {Command::UserGuide, "&User Guide", "Open the user guide installed with the program",
     "User Guide", QKeySequence::HelpContents},
};

inline constexpr const char* kRecentFilePrompt = "Open this document";
inline constexpr const char* kRecentFilePlaceholder = "Recent File";
inline constexpr const char* kOpenFilter = "Joint Reports (*.tjr)";
inline constexpr const char* kFolderNotCreated = "Could not create folder\n%1\nto save data!";

}  // namespace vr5
