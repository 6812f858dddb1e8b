<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>folvek-print</name>
    <message>
        <source>job or report</source>
        <translation>job или report</translation>
    </message>
    <message>
        <source>an .xlsx, .ods or .csv file</source>
        <translation>файл .xlsx, .ods или .csv</translation>
    </message>
    <message>
        <source>-o - and --info both write to standard output</source>
        <translation>-o - и --info оба пишут в стандартный вывод</translation>
    </message>
    <message>
        <source>--title goes with --lp or -o</source>
        <translation>--title задаётся только вместе с --lp или -o</translation>
    </message>
    <message>
        <source>cannot make a temporary folder in %1: %2</source>
        <translation>не удаётся создать временную папку в %1: %2</translation>
    </message>
    <message>
        <source>%1 goes with --lp</source>
        <translation>%1 задаётся только вместе с --lp</translation>
    </message>
    <message>
        <source>%1 goes with --watch</source>
        <translation>%1 задаётся только вместе с --watch</translation>
    </message>
    <message>
        <source>%1 needs %2</source>
        <translation>после %1 нужно указать %2</translation>
    </message>
    <message>
        <source>%1 wants a number of copies from 1 to 999, not &quot;%2&quot;</source>
        <translation>%1: число копий от 1 до 999, а не «%2»</translation>
    </message>
    <message>
        <source>--dpi wants a number from 10 to 2400, not &quot;%1&quot;</source>
        <translation>--dpi: число от 10 до 2400, а не «%1»</translation>
    </message>
    <message>
        <source>--engine wants direct or qt, not &quot;%1&quot;</source>
        <translation>--engine: direct или qt, а не «%1»</translation>
    </message>
    <message>
        <source>--ini wants a settings file</source>
        <translation>--ini: нужно имя файла настройки</translation>
    </message>
    <message>
        <source>--margin wants millimetres from 0 to 50, not &quot;%1&quot;</source>
        <translation>--margin: миллиметры от 0 до 50, а не «%1»</translation>
    </message>
    <message>
        <source>--max-wait wants seconds from 1 to 86400, not &quot;%1&quot;</source>
        <translation>--max-wait: секунды от 1 до 86400, а не «%1»</translation>
    </message>
    <message>
        <source>--pdf-dir wants a folder</source>
        <translation>--pdf-dir: нужна папка</translation>
    </message>
    <message>
        <source>--settle wants milliseconds from 0 to 3600000, not &quot;%1&quot;</source>
        <translation>--settle: миллисекунды от 0 до 3600000, а не «%1»</translation>
    </message>
    <message>
        <source>--title wants a name</source>
        <translation>--title: нужно имя задания</translation>
    </message>
    <message>
        <source>--watch prints either through CUPS (--printer) or to --pdf-dir, not both</source>
        <translation>--watch печатает либо через CUPS (--printer), либо в --pdf-dir, но не туда и туда</translation>
    </message>
    <message>
        <source>--watch takes no FILE, -o, --png, --svg, --tables, --info or --title</source>
        <translation>с --watch не задаются ФАЙЛ, -o, --png, --svg, --tables, --info и --title</translation>
    </message>
    <message>
        <source>--watch wants a folder</source>
        <translation>--watch: нужна папка</translation>
    </message>
    <message>
        <source>-o, --png and --svg take one document; several go with --lp or --info</source>
        <translation>-o, --png и --svg принимают один документ; несколько — только с --lp или --info</translation>
    </message>
    <message>
        <source>Try 'folvek-print --help' for more information.</source>
        <translation>Подробности: folvek-print --help</translation>
    </message>
    <message>
        <source>a PDF file name</source>
        <translation>имя файла PDF</translation>
    </message>
    <message>
        <source>a directory</source>
        <translation>папку</translation>
    </message>
    <message>
        <source>a folder</source>
        <translation>папку</translation>
    </message>
    <message>
        <source>a job name</source>
        <translation>имя задания</translation>
    </message>
    <message>
        <source>a number of copies</source>
        <translation>число копий</translation>
    </message>
    <message>
        <source>a page range</source>
        <translation>диапазон страниц</translation>
    </message>
    <message>
        <source>a paper name</source>
        <translation>формат бумаги</translation>
    </message>
    <message>
        <source>a print queue</source>
        <translation>очередь печати</translation>
    </message>
    <message>
        <source>a resolution</source>
        <translation>разрешение</translation>
    </message>
    <message>
        <source>a settings file</source>
        <translation>файл настройки</translation>
    </message>
    <message>
        <source>an encoding</source>
        <translation>кодировку</translation>
    </message>
    <message>
        <source>an lp option</source>
        <translation>параметр lp</translation>
    </message>
    <message>
        <source>bad lp option &quot;%1&quot; (examples: sides=two-sided-long-edge, media=Letter)</source>
        <translation>неверный параметр lp «%1» (примеры: sides=two-sided-long-edge, media=Letter)</translation>
    </message>
    <message>
        <source>bad page range &quot;%1&quot; (examples: 3, 2-5, 4-)</source>
        <translation>неверный диапазон страниц «%1» (примеры: 3, 2-5, 4-)</translation>
    </message>
    <message>
        <source>bad print queue name &quot;%1&quot;</source>
        <translation>неверное имя очереди печати «%1»</translation>
    </message>
    <message>
        <source>cannot find this program's own file: %1</source>
        <translation>не найден файл самой программы: %1</translation>
    </message>
    <message>
        <source>cannot load %1</source>
        <translation>не удалось загрузить %1</translation>
    </message>
    <message>
        <source>cannot open %1: %2</source>
        <translation>не могу открыть %1: %2</translation>
    </message>
    <message>
        <source>direct or qt</source>
        <translation>direct или qt</translation>
    </message>
    <message>
        <source>millimetres</source>
        <translation>миллиметры</translation>
    </message>
    <message>
        <source>milliseconds</source>
        <translation>миллисекунды</translation>
    </message>
    <message>
        <source>no device to lay the pages out on</source>
        <translation>нет устройства для разметки страниц</translation>
    </message>
    <message>
        <source>no document given</source>
        <translation>не задан документ</translation>
    </message>
    <message>
        <source>nothing to do: give -o, --png, --svg, --tables, --info or --lp</source>
        <translation>нечего делать: задайте -o, --png, --svg, --tables, --info или --lp</translation>
    </message>
    <message>
        <source>print: %1</source>
        <translation>печать: %1</translation>
    </message>
    <message>
        <source>print: lp (the CUPS client) is not installed</source>
        <translation>печать: не установлена программа lp (клиент CUPS)</translation>
    </message>
    <message>
        <source>print: lp refused the job</source>
        <translation>печать: lp не принял задание</translation>
    </message>
    <message>
        <source>print: lp refused the job for queue %1</source>
        <translation>печать: lp не принял задание для очереди %1</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>секунды</translation>
    </message>
    <message>
        <source>settings file %1: %2</source>
        <translation>файл настройки %1: %2</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>стандартный ввод</translation>
    </message>
    <message>
        <source>standard input (-) can be read once only</source>
        <translation>стандартный ввод (-) читается только один раз</translation>
    </message>
    <message>
        <source>the job on standard input is empty: nothing printed</source>
        <translation>задание на стандартном вводе пусто: ничего не напечатано</translation>
    </message>
    <message>
        <source>unknown encoding &quot;%1&quot; (auto, cp866, cp1251, koi8-r, utf-8)</source>
        <translation>неизвестная кодировка «%1» (auto, cp866, cp1251, koi8-r, utf-8)</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>неизвестный параметр %1</translation>
    </message>
    <message>
        <source>unknown paper &quot;%1&quot; (A4, A3, A5, Letter, Legal)</source>
        <translation>неизвестный формат бумаги «%1» (A4, A3, A5, Letter, Legal)</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n page(s)</source>
        <translation>
            <numerusform>%1: %n страница</numerusform>
            <numerusform>%1: %n страницы</numerusform>
            <numerusform>%1: %n страниц</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n page(s) sent to the printer</source>
        <translation>
            <numerusform>%1: %n страница отправлена на печать</numerusform>
            <numerusform>%1: %n страницы отправлены на печать</numerusform>
            <numerusform>%1: %n страниц отправлено на печать</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n page(s) sent to the printer, %2 copies</source>
        <translation>
            <numerusform>%1: %n страница отправлена на печать, копий: %2</numerusform>
            <numerusform>%1: %n страницы отправлены на печать, копий: %2</numerusform>
            <numerusform>%1: %n страниц отправлено на печать, копий: %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: warning: %n character(s) that code page 1251 lacks are printed as &quot;?&quot; (see --help)</source>
        <translation>
            <numerusform>%1: предупреждение: %n знак, которого нет в кодировке 1251, напечатан как «?» (см. --help)</numerusform>
            <numerusform>%1: предупреждение: %n знака, которых нет в кодировке 1251, напечатаны как «?» (см. --help)</numerusform>
            <numerusform>%1: предупреждение: %n знаков, которых нет в кодировке 1251, напечатаны как «?» (см. --help)</numerusform>
        </translation>
    </message>
</context>
</TS>
