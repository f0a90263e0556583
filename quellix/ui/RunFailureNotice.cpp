#include "quellix/ui/RunFailureNotice.h"

#include <array>

#include "quellix/lang/Ansi.h"
#include "quellix/lang/LanguageResources.h"
#include "quellix/lang/Languages.h"
#include "quellix/ui/ReadingOrder.h"

namespace quellix::ui {
namespace {

struct Notice {
  const char16_t* stopped;  // "%%" stands for the failure
  const char16_t* nothingMore;
};

// By language index, as the language tables are numbered.
constexpr std::array<Notice, lang::kLanguageCount> kNotices{{
    {u"Heqja u ndal pa përfunduar: %%",
     u"Asgjë tjetër nuk u ndryshua. Mund ta mbyllni Quellix ose të filloni përsëri."},
    {u"توقفت الإزالة قبل اكتمالها: %%",
     u"لم يتم تغيير أي شيء آخر. يمكنك إغلاق Quellix أو البدء من جديد."},
    {u"A remoção parou antes do fim: %%",
     u"Nada mais foi alterado. Você pode fechar o Quellix ou iniciar novamente."},
    {u"清除操作未完成即已停止：%%", u"未再进行其他更改。您可以关闭 Quellix 或重新开始。"},
    {u"移除作業未完成即已停止：%%", u"未再進行其他變更。您可以關閉 Quellix 或重新開始。"},
    {u"Fjernelsen stoppede, før den var færdig: %%",
     u"Intet andet blev ændret. Du kan lukke Quellix eller starte igen."},
    {u"Het verwijderen is gestopt voordat het klaar was: %%",
     u"Er is verder niets gewijzigd. U kunt Quellix sluiten of opnieuw starten."},
    {u"The removal stopped before it finished: %%",
     u"Nothing else was changed. You can close Quellix or start again."},
    {u"Eemaldamine katkes enne lõppu: %%",
     u"Rohkem midagi ei muudetud. Võite programmi Quellix sulgeda või uuesti alustada."},
    {u"La suppression s'est arrêtée avant la fin : %%",
     u"Rien d'autre n'a été modifié. Vous pouvez fermer Quellix ou recommencer."},
    {u"Das Entfernen wurde vorzeitig abgebrochen: %%",
     u"Sonst wurde nichts verändert. Sie können Quellix beenden oder erneut starten."},
    {u"Η αφαίρεση σταμάτησε πριν ολοκληρωθεί: %%",
     u"Δεν άλλαξε τίποτε άλλο. Μπορείτε να κλείσετε το Quellix ή να ξεκινήσετε ξανά."},
    {u"ההסרה נעצרה לפני סיומה: %%", u"לא שונה דבר נוסף. ניתן לסגור את Quellix או להתחיל מחדש."},
    {u"Az eltávolítás befejezés előtt leállt: %%",
     u"Semmi más nem változott. Bezárhatja a Quellix programot, vagy újra elindíthatja."},
    {u"La rimozione si è interrotta prima della fine: %%",
     u"Nient'altro è stato modificato. È possibile chiudere Quellix o ricominciare."},
    {u"제거가 끝나기 전에 중지되었습니다: %%",
     u"그 밖에 변경된 내용은 없습니다. Quellix를 닫거나 다시 시작할 수 있습니다."},
    {u"Fjerningen stoppet før den var ferdig: %%",
     u"Ingenting mer ble endret. Du kan lukke Quellix eller starte på nytt."},
    {u"Usuwanie zatrzymało się przed końcem: %%",
     u"Nic więcej nie zostało zmienione. Możesz zamknąć program Quellix lub zacząć od nowa."},
    {u"A remoção parou antes do fim: %%",
     u"Nada mais foi alterado. Pode fechar o Quellix ou começar de novo."},
    {u"Удаление остановлено до завершения: %%",
     u"Больше ничего не изменено. Можно закрыть Quellix или начать заново."},
    {u"La eliminación se ha detenido antes de terminar: %%",
     u"No se ha modificado nada más. Puede cerrar Quellix o volver a empezar."},
    {u"Borttagningen avbröts innan den var klar: %%",
     u"Inget mer ändrades. Du kan stänga Quellix eller börja om."},
    {u"Kaldırma işlemi bitmeden durdu: %%",
     u"Başka hiçbir şey değiştirilmedi. Quellix'i kapatabilir veya işlemi yeniden "
     u"başlatabilirsiniz."},
}};

}  // namespace

std::string NameRunFailure(const platform::RuntimeError& error) {
  return error.Description() + " (" + std::to_string(error.Number()) + ", " + error.Source() + ")";
}

MessageBoxRequest RunFailureBox(const lang::Language& language, const std::string& failure) {
  const std::uint8_t index = language.CurrentLanguage();
  const Notice& notice = kNotices[index < kNotices.size() ? index : lang::kEnglish];
  const std::u16string named = lang::AnsiToUtf16(failure);
  std::u16string stopped = notice.stopped;
  stopped.replace(stopped.find(u"%%"), 2, language.RightToLeft() ? EmbedLeftToRight(named) : named);

  MessageBoxRequest request;
  request.lines = {lang::kRowPrefix + stopped,
                   lang::kRowPrefix + std::u16string(notice.nothingMore)};
  request.button1 = language.CaptionOK();
  request.okOnly = true;
  return request;
}

}  // namespace quellix::ui
