#include "cli/cli_help.h"

namespace cli {

std::string cliHelpText() {
    return R"(用法 / Usage:
  pimingbao-cli rename --ext 后缀 [--dry-run] 路径…
  pimingbao-cli rename --prefix 前缀 --start 起始序号 [--dry-run] 路径…
  pimingbao-cli clean [--name 文件名]… [--names-file 文件] [--dry-run] 路径…
  pimingbao-cli undo

星禾批名宝的批处理作业，在终端中运行，与窗口中的“开始更名”“开始删除”相同。
路径是 RAR 压缩包或目录；目录下各层子目录中的 .rar 文件按“浏览...”的顺序收集。
先显示状态文字，每行一条；再按压缩包逐行显示结果；最后是统计。

  rename --ext 后缀
      按压缩包内第一个带该后缀的文件为压缩包命名（取文件名本身，不含目录；
      不区分大小写；可写成 .exe）。例：后缀 exe，含 文件2.exe 的压缩包更名为 文件2.rar。
  rename --prefix 前缀 --start 起始序号
      按前缀加序号命名，序号位数等于起始序号的位数：前缀 示例、起始序号 00005 得到
      示例00005.rar、示例00006.rar…；超出位数时保留全部数字（99 之后是 100）。
      起始序号只能由数字组成；前缀可以为空（只写 --start）。
      名称互相占用的压缩包先改为临时名称再改为新名称，重复运行得到相同的名称。
  clean --name 文件名 / --names-file 文件
      从每个压缩包中删除这些文件。--name 可重复；--names-file 每行一个文件名
      （UTF-8、UTF-16 或 GBK），空行和名称前后的空格忽略。删除后不含任何文件的
      压缩包移到回收站（回收站无法接收时保留为不含文件的压缩包）。
  undo
      撤销最近一次更名：仍在更名后位置的压缩包改回原名，移到回收站的压缩包放回原处。
      最近一次是打扫时，只放回被清空后移到回收站的压缩包。
  --dry-run
      只列出将会发生的事（新名称；每个压缩包将失去的文件），不做任何改动。
  --help, -h
      显示本说明。

新名称已被其他文件占用时（“文件已存在！该文件被删除！”），移走的是刚处理的这个压缩包：
它被放进回收站，可以找回；已经存在的文件不会被动。回收站无法接收时，压缩包保留原名，
结果中写明原因。已经是新名称的压缩包不会被动。
每次更名都记录在工作目录（程序所在目录，不可写时为用户状态目录）中的
pimingbao-rename-journal.txt，供 undo 使用。本程序不读写设置文件。
退出码：0 全部成功或无需改动；1 有压缩包失败；2 命令行有误。

  pimingbao-cli rename --ext EXT [--dry-run] PATH...
      Names each archive after the first entry inside it with that extension (its bare
      name, folders left out; letter case ignored; ".exe" accepted): with "exe", an
      archive holding 文件2.exe becomes 文件2.rar in its own folder.
  pimingbao-cli rename --prefix TEXT --start DIGITS [--dry-run] PATH...
      Names the archives TEXT followed by a running number as wide as DIGITS
      (00005, 00006, ...); a number that outgrows the width keeps all its digits.
      DIGITS must be digits only; the prefix may be empty (give --start alone).
      Archives whose new names other archives hold now step aside under temporary
      names first, so running the same numbering again gives the same names.
  pimingbao-cli clean [--name NAME]... [--names-file FILE] [--dry-run] PATH...
      Deletes the named entries from every archive. --name may be repeated; the file
      holds one name per line (UTF-8, UTF-16 or GBK); empty lines and blanks around names are
      ignored. An archive left without entries goes to the trash (where no trash takes
      it, it is kept as an archive without entries).
  pimingbao-cli undo
      Reverts the last rename job, as far as the archives are still where it left them;
      archives it moved to the trash come back. After a clean job, the archives it
      emptied come back from the trash.

A PATH is an archive or a folder; a folder's .rar files are collected at every depth, in
the order of the window's "浏览..." walk. The output is the status texts, one per line,
then one line per archive with its result, then a summary. --dry-run shows what would
happen (new names; the entries each archive would lose) and changes nothing.
When a new name is taken ("文件已存在！该文件被删除！"), the archive just processed goes to
the trash, never the file that was there; where no trash can take it, it keeps its name
and its line says why. An archive already under its new name is never touched.
Every rename job is recorded in pimingbao-rename-journal.txt in the working directory
(the program's folder, or the per-user state folder when that is not writable) for undo.
No settings file is read or written.
Exit codes: 0 every archive succeeded or needed nothing; 1 some archive failed; 2 bad
command line.
)";
}

}  // namespace cli
