# The English words of the user guide, in the order they print. Markup is reportlab's
# paragraph markup; {layout}, {product}, {vendor}, {version}, {change} and Setup's own
# labels {s[id]} are filled in from the product's texts, so they match Setup exactly.

LANGUAGE = "en"
SUBTITLE = "{layout} keyboard layout, version {version} \u00b7 {vendor}"
OTHER_LANGUAGE = "Wersja polska następuje po angielskiej."

INTRO = [
    "{layout} is a Polish keyboard layout for programmers and writers, made by "
    "{vendor}. It is the US layout, so brackets, braces and the other symbols stay "
    "where you expect them, with the Polish letters on <b>AltGr</b>, the right Alt key. "
    "Where a keyboard has no right Alt, or a program needs it for something else, "
    "<b>Ctrl+Alt</b> does the same.",
    "This guide shows how to type the Polish letters, what the three variants add, how "
    "to switch to the layout on each version of Windows, and what the options of Setup "
    "do. Each variant's keyboard chart is at the end; the separate keyboard chart "
    "prints them large, one page each.",
]

LETTERS_HEAD = "Typing Polish letters"
LETTERS_TEXT = ("Hold AltGr and press the letter. Hold Shift as well for the capital: "
                "Shift+AltGr+A types Ą. Every variant types them the same way.")

VARIANTS_HEAD = "The three variants"
VARIANTS = [
    "the US layout with the Polish letters and the euro sign € on AltGr, and nothing "
    "else: the safest choice, and Setup's suggestion.",
    "adds dead keys on AltGr for the accents of other European languages (French, "
    "German, Czech, Spanish and others). Press the accent, then the letter: the accent "
    "lands on the letter. The accent followed by Space types the accent alone.",
    "adds typographic characters on AltGr: Polish quotation marks „ ” and « », the en "
    "and em dashes – —, the ellipsis …, the euro sign €, the degree sign ° and others, "
    "for writers who set text properly.",
]
VARIANTS_AFTER = ("You choose the variant on the options page of Setup. To change it later, "
                  "open the Start menu, the {product} folder, run <b>{change}</b> and "
                  "click <b>{s[126]}</b>. The change works after Windows restarts.")

SWITCH_HEAD = "Switching to {layout}"
SWITCH_TEXT = ("Windows can hold several keyboard layouts and switches between them for "
               "each window. Setup installs {layout}; the steps below add it where Setup "
               "does not, and switch to it. The layout works after Windows restarts.")

WINDOWS = [
    ("Windows 2000", [
        "Setup does not add the layout to your input locales here: after the restart, "
        "Regional Options open on the Input Locales tab so that you can add it.",
        "To add it: open <b>Control Panel</b>, <b>Regional Options</b>, the <b>Input "
        "Locales</b> tab, and click <b>Add</b>. Choose Polish as the input locale and "
        "{layout} as the keyboard layout, and click OK.",
        "To switch: click the language indicator on the taskbar (PL or EN) and choose "
        "the layout, or press <b>Left Alt+Shift</b>. Tick <b>Enable indicator on "
        "taskbar</b> on the same tab if the indicator is missing.",
    ]),
    ("Windows XP and Windows Server 2003", [
        "Setup does not add the layout to your input languages here: after the restart, "
        "the Text Services and Input Languages settings open so that you can add it.",
        "To add it: open <b>Control Panel</b>, <b>Regional and Language Options</b>, the "
        "<b>Languages</b> tab, and click <b>Details</b>. Click <b>Add</b>, choose Polish as "
        "the input language and {layout} as the keyboard layout, and click OK. "
        "<b>Default input language</b> on the same page makes it the layout of new "
        "windows.",
        "To switch: use the language bar on the taskbar (the language, then the keyboard "
        "icon), or press <b>Left Alt+Shift</b> to change the input language and "
        "<b>Ctrl+Shift</b> to change the layout within a language.",
    ]),
    ("Windows Vista and Windows 7", [
        "Setup adds the layout to the input language you chose on its options page, and "
        "makes it that language's default if you ticked that option.",
        "To check it or add it again: open <b>Control Panel</b>, <b>Clock, Language, and "
        "Region</b>, then <b>Regional and Language Options</b> (Vista) or <b>Region and "
        "Language</b> (Windows 7). On the <b>Keyboards and Languages</b> tab click "
        "<b>Change keyboards</b>, then <b>Add</b>; open Polish (Poland), then Keyboard, "
        "tick {layout} and click OK.",
        "To switch: use the language bar on the taskbar, or press <b>Left Alt+Shift</b> "
        "for the input language and <b>Ctrl+Shift</b> for the layout.",
    ]),
    ("Windows 8 and later", [
        "Setup adds the layout to the input language you chose, for your account.",
        "To check it or add it again: on Windows 8 and 8.1, open <b>Control Panel</b>, "
        "<b>Clock, Language, and Region</b>, <b>Language</b>; click <b>Options</b> next to "
        "Polish, then <b>Add an input method</b>, and choose {layout}. On Windows 10 and "
        "11 the same list is in <b>Settings</b>, <b>Time &amp; Language</b>, "
        "<b>Language</b> (Language &amp; region): the options of Polish, <b>Add a "
        "keyboard</b>.",
        "To switch: press <b>Windows+Space</b>, or click the input indicator on the "
        "taskbar (PL or ENG) and choose the layout.",
    ]),
]

SECTIONS = [
    ("The layout-switching shortcuts", [
        "Left Alt+Shift and Ctrl+Shift switch input languages and layouts, and they are "
        "easy to press by accident: many editors use Ctrl+Shift and Alt+Shift with other "
        "keys. When you tick <b>{s[137]}</b> in Setup, it turns them off for your "
        "account; the language bar, the taskbar indicator and Windows+Space keep working.",
        "To give them a key again: on Windows 2000, <b>Change Key Sequence</b> on the "
        "Input Locales tab; on Windows XP, <b>Key Settings</b> in the Text Services and "
        "Input Languages settings; on Vista and 7, the <b>Advanced Key Settings</b> tab "
        "there; on Windows 8 and later, <b>Input language hot keys</b> in the advanced "
        "keyboard settings.",
    ]),
    ("The decimal key", [
        "The decimal key of the numeric keypad (the key with Del and a dot, next to 0) "
        "types what you choose on Setup's options page: a <b>comma</b>, as Polish numbers "
        "are written (3,14), or a <b>full stop</b> (3.14), as programming languages and "
        "most English programs expect. It types it with Num Lock on; with Num Lock off "
        "it stays the Delete key.",
    ]),
    ("Key assignments", [
        "Two buttons on Setup's options page change what keys do. Choose a key, then "
        "what it should do, or {s[152]} to leave it as it is.",
        "<b>{s[150]}</b> changes keys within {layout} only: a key can take the job of "
        "another key, for example Caps Lock as a second Ctrl. Other layouts keep the "
        "keys as they were.",
        "<b>{s[151]}</b> changes keys for the whole computer, below every layout: the key "
        "sends another key instead, or is switched off, for example an Insert key you "
        "never want to press by mistake. This holds for every user and every keyboard "
        "layout.",
        "Both work from the next restart. To undo them, run Setup again and set the keys "
        "back to {s[152]}. <b>{s[108]}</b> keeps your variant, decimal key and key "
        "assignments when you update.",
    ]),
    ("Removing {product}", [
        "Open the Start menu, the {product} folder, and run <b>{change}</b>; click "
        "<b>{s[125]}</b>. Switch your windows to another layout first. The last files go "
        "when Windows restarts.",
    ]),
]

LETTER_COLUMNS = ("Letter", "Keys", "Capital", "Keys")
CHARTS_HEAD = "Keyboard charts"
CHARTS_TEXT = ("Each key shows what it types: at the bottom left the key alone, at the "
               "top left with Shift (a letter key shows its capital only); in blue at the "
               "bottom right with AltGr, at the top right with Shift+AltGr. Dead keys are "
               "marked in red-orange on a tint.")
DEAD_TABLE_HEAD = "Dead keys of this variant"
DEAD_TABLE_COLUMNS = ("Accent", "Keys", "Then type → to get")
