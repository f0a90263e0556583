#include "quellix/lang/KeptWindowsFileNotice.h"

#include <array>

#include "quellix/lang/LanguageResources.h"
#include "quellix/lang/Languages.h"

namespace quellix::lang {
namespace {

struct Notice {
  const char16_t* kept;
  const char16_t* repair;
};

// By language index, as the language tables are numbered.
constexpr std::array<Notice, kLanguageCount> kNotices{{
    {u"Një skedar sistemi i Windows përputhet me një krimb. Quellix nuk e fshiu.",
     u"Që Windows ta riparojë, ekzekutoni sfc /scannow në Command Prompt si administrator."},
    {u"يطابق أحد ملفات نظام Windows دودة. لم يحذفه Quellix.",
     u"لكي يصلحه Windows، شغّل sfc /scannow في موجه الأوامر كمسؤول."},
    {u"Um arquivo de sistema do Windows corresponde a um worm. O Quellix não o excluiu.",
     u"Para que o Windows o repare, execute sfc /scannow no Prompt de Comando como administrador."},
    {u"一个 Windows 系统文件与蠕虫相符。Quellix 没有删除它。",
     u"要让 Windows 修复它，请以管理员身份在命令提示符中运行 sfc /scannow。"},
    {u"一個 Windows 系統檔案與蠕蟲相符。Quellix 沒有刪除它。",
     u"若要讓 Windows 修復它，請以系統管理員身分在命令提示字元中執行 sfc /scannow。"},
    {u"En Windows-systemfil svarer til en orm. Quellix slettede den ikke.",
     u"Kør sfc /scannow i Kommandoprompt som administrator, så reparerer Windows den."},
    {u"Een Windows-systeembestand komt overeen met een worm. Quellix heeft het niet verwijderd.",
     u"Laat Windows het herstellen: voer sfc /scannow uit in de opdrachtprompt als administrator."},
    {u"A Windows system file matches a worm. Quellix did not delete it.",
     u"To have Windows repair it, run sfc /scannow in a Command Prompt as administrator."},
    {u"Üks Windowsi süsteemifail vastab ussile. Quellix ei kustutanud seda.",
     u"Et Windows selle parandaks, käivitage administraatorina käsuviibas sfc /scannow."},
    {u"Un fichier système de Windows correspond à un ver. Quellix ne l'a pas supprimé.",
     u"Pour que Windows le répare, exécutez sfc /scannow dans l'invite de commandes en tant "
     u"qu'administrateur."},
    {u"Eine Windows-Systemdatei entspricht einem Wurm. Quellix hat sie nicht gelöscht.",
     u"Damit Windows sie repariert, führen Sie sfc /scannow in der Eingabeaufforderung als "
     u"Administrator aus."},
    {u"Ένα αρχείο συστήματος των Windows ταιριάζει με ένα σκουλήκι. Το Quellix δεν το διέγραψε.",
     u"Για να το επιδιορθώσουν τα Windows, εκτελέστε sfc /scannow στη γραμμή εντολών ως "
     u"διαχειριστής."},
    {u"קובץ מערכת של Windows תואם לתולעת. Quellix לא מחק אותו.",
     u"כדי ש-Windows יתקן אותו, הפעל sfc /scannow בשורת הפקודה כמנהל מערכת."},
    {u"Egy Windows-rendszerfájl egyezik egy féreggel. A Quellix nem törölte.",
     u"Hogy a Windows kijavítsa, futtassa rendszergazdaként a parancssorban: sfc /scannow."},
    {u"Un file di sistema di Windows corrisponde a un worm. Quellix non lo ha eliminato.",
     u"Per farlo riparare da Windows, eseguite sfc /scannow nel prompt dei comandi come "
     u"amministratore."},
    {u"Windows 시스템 파일이 웜과 일치합니다. Quellix는 이 파일을 삭제하지 않았습니다.",
     u"Windows가 복구하도록 관리자 권한 명령 프롬프트에서 sfc /scannow를 실행하십시오."},
    {u"En Windows-systemfil samsvarer med en orm. Quellix slettet den ikke.",
     u"Kjør sfc /scannow i ledeteksten som administrator, så reparerer Windows den."},
    {u"Plik systemowy Windows pasuje do robaka. Quellix go nie usunął.",
     u"Aby Windows go naprawił, uruchom sfc /scannow w wierszu polecenia jako administrator."},
    {u"Um ficheiro de sistema do Windows corresponde a um worm. O Quellix não o eliminou.",
     u"Para que o Windows o repare, execute sfc /scannow na Linha de comandos como administrador."},
    {u"Системный файл Windows совпадает с червём. Quellix не удалил его.",
     u"Чтобы Windows восстановила его, запустите sfc /scannow в командной строке от имени "
     u"администратора."},
    {u"Un archivo del sistema de Windows coincide con un gusano. Quellix no lo eliminó.",
     u"Para que Windows lo repare, ejecute sfc /scannow en el símbolo del sistema como "
     u"administrador."},
    {u"En Windows-systemfil matchar en mask. Quellix tog inte bort den.",
     u"Kör sfc /scannow i Kommandotolken som administratör så reparerar Windows den."},
    {u"Bir Windows sistem dosyası bir solucanla eşleşiyor. Quellix onu silmedi.",
     u"Windows'un onarması için Komut İstemi'nde yönetici olarak sfc /scannow çalıştırın."},
}};

}  // namespace

MessageBoxRequest KeptWindowsFileBox(const Language& language) {
  const std::uint8_t index = language.CurrentLanguage();
  const Notice& notice = kNotices[index < kNotices.size() ? index : kEnglish];
  MessageBoxRequest request;
  request.lines = {kRowPrefix + std::u16string(notice.kept),
                   kRowPrefix + std::u16string(notice.repair)};
  request.button1 = language.CaptionOK();
  request.okOnly = true;
  return request;
}

}  // namespace quellix::lang
