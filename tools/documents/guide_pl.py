# The Polish words of the user guide, in the order they print, under the same names
# as in guide_en.py (which says how the placeholders are filled in).

LANGUAGE = "pl"
SUBTITLE = "Układ klawiatury {layout}, wersja {version} \u00b7 {vendor}"
OTHER_LANGUAGE = "The English version comes first."

INTRO = [
    "{layout} to polski układ klawiatury dla programistów i piszących, wydany przez "
    "{vendor}. To układ amerykański, więc nawiasy, klamry i inne symbole są tam, gdzie "
    "się ich spodziewasz, a polskie litery są pod klawiszem <b>AltGr</b>, czyli prawym "
    "Altem. Jeśli klawiatura nie ma prawego Alta albo program używa go do czegoś innego, "
    "to samo robi kombinacja <b>Ctrl+Alt</b>.",
    "Ten podręcznik pokazuje, jak pisać polskie litery, co dodają trzy warianty układu, "
    "jak przełączyć się na układ w każdej wersji systemu Windows i do czego służą opcje "
    "instalatora. Schematy klawiatury wszystkich wariantów są na końcu; osobny schemat "
    "klawiatury drukuje je w dużym formacie, każdy na osobnej stronie.",
]

LETTERS_HEAD = "Polskie litery"
LETTERS_TEXT = ("Przytrzymaj AltGr i naciśnij literę. Wielką literę wpiszesz, przytrzymując "
                "dodatkowo Shift: Shift+AltGr+A daje Ą. We wszystkich wariantach działa to "
                "tak samo.")

VARIANTS_HEAD = "Trzy warianty"
VARIANTS = [
    "układ amerykański z polskimi literami i znakiem euro € pod AltGr i nic więcej: "
    "najbezpieczniejszy wybór, proponowany przez instalator.",
    "dodaje pod AltGr klawisze martwe z akcentami innych języków europejskich "
    "(francuskiego, niemieckiego, czeskiego, hiszpańskiego i innych). Naciśnij akcent, "
    "a potem literę: akcent trafi na literę. Akcent, a po nim spacja, daje sam akcent.",
    "dodaje pod AltGr znaki typograficzne: polskie cudzysłowy „ ” i « », półpauzę "
    "i pauzę – —, wielokropek …, znak euro €, znak stopnia ° i inne, dla tych, którzy "
    "starannie składają tekst.",
]
VARIANTS_AFTER = ("Wariant wybierasz na stronie opcji instalatora. Aby go później zmienić, "
                  "otwórz menu Start, folder {product}, uruchom <b>{change}</b> i kliknij "
                  "<b>{s[126]}</b>. Zmiana działa po ponownym uruchomieniu systemu Windows.")

SWITCH_HEAD = "Przełączanie na układ {layout}"
SWITCH_TEXT = ("Windows może mieć kilka układów klawiatury i przełącza je osobno dla "
               "każdego okna. Instalator instaluje układ {layout}; poniżej opisano, jak go "
               "dodać tam, gdzie instalator tego nie robi, i jak się na niego przełączyć. "
               "Układ działa po ponownym uruchomieniu systemu Windows.")

WINDOWS = [
    ("Windows 2000", [
        "Tu instalator nie dodaje układu do ustawień regionalnych wprowadzania: po "
        "ponownym uruchomieniu otworzą się Opcje regionalne na karcie Ustawienia "
        "regionalne wprowadzania, gdzie można go dodać.",
        "Aby go dodać: otwórz <b>Panel sterowania</b>, <b>Opcje regionalne</b>, kartę "
        "<b>Ustawienia regionalne wprowadzania</b> i kliknij <b>Dodaj</b>. Wybierz język "
        "polski i układ klawiatury {layout}, a potem kliknij OK.",
        "Aby się przełączyć: kliknij wskaźnik języka na pasku zadań (PL lub EN) i wybierz "
        "układ albo naciśnij <b>lewy Alt+Shift</b>. Jeśli wskaźnika nie ma, zaznacz na tej "
        "samej karcie <b>Włącz wskaźnik na pasku zadań</b>.",
    ]),
    ("Windows XP i Windows Server 2003", [
        "Tu instalator nie dodaje układu do języków wprowadzania: po ponownym "
        "uruchomieniu otworzą się ustawienia usług tekstowych i języków wprowadzania, "
        "gdzie można go dodać.",
        "Aby go dodać: otwórz <b>Panel sterowania</b>, <b>Opcje regionalne i językowe</b>, "
        "kartę <b>Języki</b> i kliknij <b>Szczegóły</b>. Kliknij <b>Dodaj</b>, wybierz "
        "język wprowadzania polski i układ klawiatury {layout}, a potem kliknij OK. "
        "<b>Domyślny język wprowadzania</b> na tej samej stronie ustawia układ nowych okien.",
        "Aby się przełączyć: użyj paska języka na pasku zadań (najpierw język, potem ikona "
        "klawiatury) albo naciśnij <b>lewy Alt+Shift</b>, aby zmienić język wprowadzania, "
        "i <b>Ctrl+Shift</b>, aby zmienić układ w obrębie języka.",
    ]),
    ("Windows Vista i Windows 7", [
        "Instalator dodaje układ do języka wprowadzania wybranego na stronie opcji "
        "i ustawia go jako domyślny dla tego języka, jeśli zaznaczono tę opcję.",
        "Aby to sprawdzić lub dodać układ ponownie: otwórz <b>Panel sterowania</b>, "
        "<b>Zegar, język i region</b>, a potem <b>Opcje regionalne i językowe</b> (Vista) "
        "lub <b>Region i język</b> (Windows 7). Na karcie <b>Klawiatury i języki</b> kliknij "
        "<b>Zmień klawiatury</b>, a potem <b>Dodaj</b>; rozwiń Polski (Polska) i Klawiatura, "
        "zaznacz {layout} i kliknij OK.",
        "Aby się przełączyć: użyj paska języka na pasku zadań albo naciśnij <b>lewy "
        "Alt+Shift</b> (język wprowadzania) i <b>Ctrl+Shift</b> (układ).",
    ]),
    ("Windows 8 i nowsze", [
        "Instalator dodaje układ do wybranego języka wprowadzania, dla Twojego konta.",
        "Aby to sprawdzić lub dodać układ ponownie: w systemie Windows 8 i 8.1 otwórz "
        "<b>Panel sterowania</b>, <b>Zegar, język i region</b>, <b>Język</b>; kliknij "
        "<b>Opcje</b> przy języku polskim, potem <b>Dodaj metodę wprowadzania</b> i wybierz "
        "{layout}. W systemach Windows 10 i 11 ta sama lista jest w <b>Ustawieniach</b>: "
        "<b>Czas i język</b>, <b>Język</b> (Język i region), opcje języka polskiego, "
        "<b>Dodaj klawiaturę</b>.",
        "Aby się przełączyć: naciśnij <b>Windows+Spacja</b> albo kliknij wskaźnik "
        "wprowadzania na pasku zadań (POL lub ENG) i wybierz układ.",
    ]),
]

SECTIONS = [
    ("Skróty przełączające układy", [
        "Lewy Alt+Shift i Ctrl+Shift przełączają języki wprowadzania i układy, a łatwo "
        "nacisnąć je przypadkiem: wiele edytorów używa Ctrl+Shift i Alt+Shift z innymi "
        "klawiszami. Gdy zaznaczysz w instalatorze <b>{s[137]}</b>, instalator wyłączy je "
        "dla Twojego konta; pasek języka, wskaźnik na pasku zadań i Windows+Spacja nadal "
        "działają.",
        "Aby znów przypisać skróty: w systemie Windows 2000 przycisk <b>Zmień sekwencję "
        "klawiszy</b> na karcie Ustawienia regionalne wprowadzania; w Windows XP "
        "<b>Ustawienia klawiszy</b> w ustawieniach usług tekstowych i języków "
        "wprowadzania; w Vista i 7 karta <b>Zaawansowane ustawienia klawiszy</b> w tym "
        "samym oknie; w Windows 8 i nowszych <b>Klawisze skrótu języka wprowadzania</b> "
        "w zaawansowanych ustawieniach klawiatury.",
    ]),
    ("Klawisz dziesiętny", [
        "Klawisz dziesiętny klawiatury numerycznej (z napisem Del i kropką, obok 0) "
        "wpisuje to, co wybierzesz na stronie opcji instalatora: <b>przecinek</b>, jak "
        "w polskim zapisie liczb (3,14), albo <b>kropkę</b> (3.14), jak oczekują języki "
        "programowania i większość programów angielskich. Działa tak przy włączonym Num "
        "Lock; przy wyłączonym pozostaje klawiszem Delete.",
    ]),
    ("Przypisania klawiszy", [
        "Dwa przyciski na stronie opcji instalatora zmieniają działanie klawiszy. Wybierz "
        "klawisz, a potem to, co ma robić, albo {s[152]}, aby pozostał bez zmian.",
        "<b>{s[150]}</b> zmienia klawisze tylko w układzie {layout}: klawisz może przejąć "
        "zadanie innego, na przykład Caps Lock może być drugim Ctrl. Inne układy "
        "zachowują klawisze bez zmian.",
        "<b>{s[151]}</b> zmienia klawisze dla całego komputera, pod wszystkimi układami: "
        "klawisz wysyła inny klawisz albo jest wyłączony, na przykład Insert, którego "
        "nie chcesz nacisnąć przez pomyłkę. Dotyczy to wszystkich użytkowników i układów "
        "klawiatury.",
        "Oba działają od następnego uruchomienia systemu. Aby je cofnąć, uruchom "
        "instalator ponownie i ustaw klawisze z powrotem na {s[152]}. <b>{s[108]}</b> "
        "zachowuje przy aktualizacji wariant, klawisz dziesiętny i przypisania klawiszy.",
    ]),
    ("Usuwanie programu {product}", [
        "Otwórz menu Start, folder {product} i uruchom <b>{change}</b>; kliknij "
        "<b>{s[125]}</b>. Najpierw przełącz okna na inny układ. Ostatnie pliki znikną "
        "po ponownym uruchomieniu systemu Windows.",
    ]),
]

LETTER_COLUMNS = ("Litera", "Klawisze", "Wielka", "Klawisze")
CHARTS_HEAD = "Schematy klawiatury"
CHARTS_TEXT = ("Każdy klawisz pokazuje, co wpisuje: na dole po lewej sam klawisz, u góry "
               "po lewej z Shift (klawisz litery pokazuje tylko wielką literę); na "
               "niebiesko na dole po prawej z AltGr, u góry po prawej z Shift+AltGr. "
               "Klawisze martwe są oznaczone kolorem czerwono-pomarańczowym na tle.")
DEAD_TABLE_HEAD = "Klawisze martwe tego wariantu"
DEAD_TABLE_COLUMNS = ("Akcent", "Klawisze", "Potem wpisz → aby otrzymać")
