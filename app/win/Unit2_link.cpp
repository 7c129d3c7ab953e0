// The main window's screen-link buttons and the library's result message:
// each hands the window's settings to the link's functions.
#include "app/win/Unit2.h"

#include <string>
#include <vector>

#include "screenlink/win/screen_link.h"

namespace {

using screenlink::DeviceCommand;
using screenlink::TestProgram;

// Lines for the window's result log.
screenlink::LogLine LogOf(TForm1& form) {
  return [&form](const std::wstring& line) { form.Memo1->Lines().Add(line); };
}

void Command(DeviceCommand c) { screenlink::SendDeviceCommand(c, Settings.ScreenIp); }
void Test(TestProgram p) { screenlink::SendTestProgram(p, Settings.ScreenIp); }

}  // namespace

void TForm1::BitBtn1Click(TObject*) { screenlink::OpenLink(Handle(), LogOf(*this)); }
void TForm1::BitBtn11Click(TObject*) { screenlink::CloseLink(); }
void TForm1::WMLedNotify(TMessage& Message) { screenlink::LogNotification(Message.WParam, LogOf(*this)); }

void TForm1::BitBtn13Click(TObject*) {
  // The board as the preview draws it, over a link opened afresh. The open's
  // line goes into the log once the program is on its way, so that the log's
  // work overlaps the send; the send's report is handled only after this
  // returns, so the lines keep their order.
  BitBtn18Click(BitBtn18);
  std::vector<std::wstring> opened;
  screenlink::OpenLink(Handle(), [&opened](const std::wstring& line) { opened.push_back(line); });
  screenlink::SendBoard(Image1->Canvas().Handle(), Image1->Width(), Image1->Height(), Settings.ScreenIp,
                        Settings.SaveToCard == 1);
  for (const std::wstring& line : opened) Memo1->Lines().Add(line);
}

void TForm1::BitBtn2Click(TObject*) { Command(DeviceCommand::Query); }
void TForm1::BitBtn3Click(TObject*) { Command(DeviceCommand::GetPower); }
void TForm1::BitBtn4Click(TObject*) { Command(DeviceCommand::PowerOn); }
void TForm1::BitBtn5Click(TObject*) { Command(DeviceCommand::PowerOff); }
void TForm1::BitBtn6Click(TObject*) { Command(DeviceCommand::SetBrightness); }
void TForm1::BitBtn7Click(TObject*) { Command(DeviceCommand::GetBrightness); }
void TForm1::BitBtn9Click(TObject*) { Command(DeviceCommand::AdjustTime); }

void TForm1::BitBtn8Click(TObject*) { Test(TestProgram::TitlePicture); }
void TForm1::BitBtn10Click(TObject*) { Test(TestProgram::Clock); }
void TForm1::BitBtn12Click(TObject*) { Test(TestProgram::String); }
void TForm1::Button1Click(TObject*) { Test(TestProgram::TwoLines); }
