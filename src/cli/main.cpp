// lumafex-cli: the headless commands of Lumafex.

#include <iostream>
#include <string>
#include <vector>

#include "Version.h"
#include "cli/Commands.h"

namespace lumafex::cli {

void printUsage(std::ostream& out) {
  out << "用法 / usage:\n"
         "  lumafex-cli catalogue --colours C\n"
         "      列出色数 C（1、2、3）的基本花式，每行一个。\n"
         "      Prints the effect catalogue for colour count C, one entry per line.\n"
         "  lumafex-cli effect --channels N --colours C ENTRY\n"
         "      把花式 ENTRY（如“3左扫”或“3”：按色数 C 的花式表序号；或生成器名 S1…S28、D1…D65）\n"
         "      在 N 路（4–300）时生成的步骤行输出到标准输出，每行以 CR LF 结束。\n"
         "      Writes the step lines of ENTRY for N channels exactly as the scratch step file gets them.\n"
         "      退出码：0 成功，2 参数错误，3 该花式在此路数/色数下没有规则（不输出）。\n"
         "  lumafex-cli assemble PROJECT.hs [-o FILE]\n"
         "      按工程的编程板生成总程序（霓虹灯花式.txt 的内容）。\n"
         "      Assembles the project's total program (to FILE, or standard output).\n"
         "  lumafex-cli compile PROJECT.hs --single|--multi [--manual] [--workdir DIR] [--chip NAME]\n"
         "                      [--pad MODE] [--format bin,hex,srec] [--checksums]\n"
         "      编译工程：--single 同“单IC导出”，--multi "
         "同“多IC导出（每8路一IC）”（有人工修改的花式时编译它）。\n"
         "      EPROM 文件写入工程目录的 bin 子目录，成功时输出编译结果。\n"
         "      Compiles the project into EPROM images in the project directory's bin; prints the report.\n"
         "      失败时在标准错误输出提示并以 1 退出。工作文件放在私有临时目录，或 --workdir 指定的目录。\n"
         "      [--chip NAME] "
         "芯片型号（2716、2732、2764、27128、27256、27512、27C010、27C020、27C040、27C080，\n"
         "      也可写作 27C256 或 27256）：超出容量的文件不写入；[--pad dark|repeat|off] 填充到芯片容量：\n"
         "      dark 全灭，repeat 从头重复整遍花式其余全灭，off 不填充（默认）；[--format bin,hex,srec] "
         "另写\n"
         "      Intel HEX（.hex）和 Motorola S-record（.s19）；[--checksums] 在编译结果后列出每个文件的\n"
         "      16位和与CRC-32。\n"
         "      Chip size check and padding, HEX/S-record copies, and checksums of every file written.\n"
         "      [--manual] 编译工程的人工修改的花式（没有时失败），两种布局都可用。\n"
         "      Compiles the project's manual sequence file in either layout (fails when there is none).\n"
         "  lumafex-cli verify PROJECT.hs --single|--multi [--manual] [--chip NAME --pad MODE] FILE...\n"
         "      在内存中按 compile 编译（不改动 bin），把编程器读回的文件与同名EPROM文件比较（.hex/.s19 "
         "按其\n"
         "      数据比较同名 .bin）。退出码：0 相同，1 不同（列出最先不同的至多10步与不同的路），2 "
         "参数错误。\n"
         "      Compares chips read back by the programmer with the compile's images of the same name.\n"
         "  lumafex-cli import (--single FILE --channels N | --multi FILE... [--channels N]) [--inverted]\n"
         "                     [--keep-padding] -o NEW.hs\n"
         "      把编程器读出的芯片（.bin、.hex、.s19）变回新工程：各步写入人工修改的花式，芯片容量的填充\n"
         "      （全灭或重复）被识别并去掉（--keep-padding 保留）；--inverted "
         "读反相芯片。不覆盖已有的工程。\n"
         "      退出码：0 成功（列出步数、路数、芯片、去掉的填充），1 失败（不写任何文件），2 参数错误。\n"
         "      Turns chips read back by the programmer into a new project; compiling it gives the chips "
         "back.\n"
#ifdef LUMAFEX_CLI_RENDER
         "  lumafex-cli render PROJECT.hs --gif OUT.gif [--vertical] [--from K --to L] [--scale F]\n"
         "  lumafex-cli render PROJECT.hs --png OUT.png [--step K] [--vertical] [--scale F]\n"
         "  lumafex-cli render PROJECT.hs --artwork (--png OUT.png --step K | --gif OUT.gif | --mp4 "
         "OUT.mp4)\n"
         "                     [--from K --to L] [--scale F] [--fps F]\n"
         "      把芯片将显示的花式（有人工修改的花式时用它，否则为“生成TXT文件”的总程序，含标题花式）\n"
         "      按花式显示窗（--vertical：竖列显示窗）的样子画成循环播放的GIF动画，每步一帧，帧间隔为\n"
         "      工程的速度（快于20毫秒/步时合并步骤以保持实际速度）；或把第K步画成PNG图片。\n"
         "      Renders the sequence the chip shows as the preview draws it: a looping GIF or one PNG step.\n"
#endif
         "  lumafex-cli --help | --version\n";
}

}  // namespace lumafex::cli

int main(int argc, char** argv) {
  using namespace lumafex::cli;
  std::ios::sync_with_stdio(false);
  std::vector<std::string> words(argv + 1, argv + argc);
  if (words.empty()) {
    printUsage(std::cerr);
    return kExitUsage;
  }
  const std::string command = words.front();
  const std::vector<std::string> rest(words.begin() + 1, words.end());
  if (command == "--help" || command == "-h" || command == "help") {
    printUsage(std::cout);
    return kExitOk;
  }
  if (command == "--version") {
    std::cout << "lumafex-cli " << lumafex::kVersionMajor << '.' << lumafex::kVersionMinor << '.'
              << lumafex::kVersionRevision << '\n';
    return kExitOk;
  }
  if (command == "catalogue") return catalogueCommand(rest, std::cout, std::cerr);
  if (command == "effect") return effectCommand(rest, std::cout, std::cerr);
  if (command == "assemble") return assembleCommand(rest, std::cout, std::cerr);
  if (command == "compile") return compileCommand(rest, std::cout, std::cerr);
  if (command == "verify") return verifyCommand(rest, std::cout, std::cerr);
  if (command == "import") return importCommand(rest, std::cout, std::cerr);
#ifdef LUMAFEX_CLI_RENDER
  if (command == "render") return renderCommand(rest, std::cout, std::cerr);
#endif
  std::cerr << "lumafex-cli: 未知的命令“" << command << "”（--help 查看用法）\n";
  return kExitUsage;
}
