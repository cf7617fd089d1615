<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CustorixWindow</name>
    <message>
        <source>Takes a snapshot of your protected files.</source>
        <translation>Erstellt einen Schnappschuss Ihrer geschützten Dateien.</translation>
    </message>
    <message>
        <source>Task name:</source>
        <translation>Name der Aufgabe:</translation>
    </message>
    <message>
        <source>A name for this task</source>
        <translation>Ein Name für diese Aufgabe</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Häufigkeit:</translation>
    </message>
    <message>
        <source>Day:</source>
        <translation>Tag:</translation>
    </message>
    <message>
        <source>The task runs on this day of every month.</source>
        <translation>Die Aufgabe läuft an diesem Tag jedes Monats.</translation>
    </message>
    <message>
        <source>The task runs on this day of every week.</source>
        <translation>Die Aufgabe läuft an diesem Tag jeder Woche.</translation>
    </message>
    <message>
        <source>The task runs every day.</source>
        <translation>Die Aufgabe läuft jeden Tag.</translation>
    </message>
    <message>
        <source>The task runs on this date every year.</source>
        <translation>Die Aufgabe läuft jedes Jahr an diesem Datum.</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Uhrzeit:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Sichern</translation>
    </message>
</context>
<context>
    <name>DefragWindow</name>
    <message>
        <source>Defragments the files on your disks.</source>
        <translation>Defragmentiert die Dateien auf Ihren Volumes.</translation>
    </message>
    <message>
        <source>Task name:</source>
        <translation>Name der Aufgabe:</translation>
    </message>
    <message>
        <source>A name for this task</source>
        <translation>Ein Name für diese Aufgabe</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Häufigkeit:</translation>
    </message>
    <message>
        <source>Day:</source>
        <translation>Tag:</translation>
    </message>
    <message>
        <source>The task runs on this day of every month.</source>
        <translation>Die Aufgabe läuft an diesem Tag jedes Monats.</translation>
    </message>
    <message>
        <source>The task runs on this day of every week.</source>
        <translation>Die Aufgabe läuft an diesem Tag jeder Woche.</translation>
    </message>
    <message>
        <source>The task runs every day.</source>
        <translation>Die Aufgabe läuft jeden Tag.</translation>
    </message>
    <message>
        <source>The task runs on this date every year.</source>
        <translation>Die Aufgabe läuft jedes Jahr an diesem Datum.</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Uhrzeit:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Sichern</translation>
    </message>
</context>
<context>
    <name>Localizable</name>
    <message>
        <source>All Products</source>
        <translation>Alle Produkte</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>Monatlich</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>Wöchentlich</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation>Täglich</translation>
    </message>
    <message>
        <source>Annually</source>
        <translation>Jährlich</translation>
    </message>
    <message>
        <source>Ombrix Scan</source>
        <translation>Ombrix-Scan</translation>
    </message>
    <message>
        <source>Custorix Snapshot</source>
        <translation>Custorix-Schnappschuss</translation>
    </message>
    <message>
        <source>Product Update</source>
        <translation>Produktaktualisierung</translation>
    </message>
    <message>
        <source>Defragment Files</source>
        <translation>Dateien defragmentieren</translation>
    </message>
    <message>
        <source>Virus Definitions</source>
        <translation>Virendefinitionen</translation>
    </message>
    <message>
        <source>Update All</source>
        <translation>Alles aktualisieren</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Tomorrow</source>
        <translation>Morgen</translation>
    </message>
    <message>
        <source>Custorix Daily Update</source>
        <translation>Tägliche Custorix-Aktualisierung</translation>
    </message>
    <message>
        <source>Daily Defragmentation</source>
        <translation>Tägliche Defragmentierung</translation>
    </message>
    <message>
        <source>Update Virus Protection</source>
        <translation>Virenschutz aktualisieren</translation>
    </message>
    <message>
        <source>Reset Scheduled Tasks</source>
        <translation>Geplante Aufgaben zurücksetzen</translation>
    </message>
    <message>
        <source>Don&apos;t Reset</source>
        <translation>Nicht zurücksetzen</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>This will delete ALL tasks you have created.  Are you sure you want to reset to defaults?</source>
        <translation>Dadurch werden ALLE Aufgaben gelöscht, die Sie erstellt haben.  Möchten Sie wirklich die Standardaufgaben wiederherstellen?</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>New…</source>
        <translation>Neu …</translation>
    </message>
    <message>
        <source>Schedule a new task.</source>
        <translation>Eine neue Aufgabe planen.</translation>
    </message>
    <message>
        <source>Edit…</source>
        <translation>Bearbeiten …</translation>
    </message>
    <message>
        <source>Change the selected task.</source>
        <translation>Die ausgewählte Aufgabe ändern.</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete the selected task.</source>
        <translation>Die ausgewählte Aufgabe löschen.</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Ablage</translation>
    </message>
    <message>
        <source>&amp;Task</source>
        <translation>Auf&amp;gabe</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Darstellung</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;New Task…</source>
        <translation>&amp;Neue Aufgabe …</translation>
    </message>
    <message>
        <source>&amp;Edit Task…</source>
        <translation>Aufgabe &amp;bearbeiten …</translation>
    </message>
    <message>
        <source>&amp;Delete Task…</source>
        <translation>Aufgabe &amp;löschen …</translation>
    </message>
    <message>
        <source>&amp;Reset Scheduled Tasks…</source>
        <translation>Geplante Aufgaben &amp;zurücksetzen …</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Sichern</translation>
    </message>
    <message>
        <source>&amp;Close Window</source>
        <translation>Fenster s&amp;chließen</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;About Tavrin Scheduler</source>
        <translation>&amp;Über Tavrin Scheduler</translation>
    </message>
</context>
<context>
    <name>NewTaskSheet</name>
    <message>
        <source>New Task</source>
        <translation>Neue Aufgabe</translation>
    </message>
    <message>
        <source>What would you like to schedule?</source>
        <translation>Was möchten Sie planen?</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>OmbrixWindow</name>
    <message>
        <source>Scans a disk, folder or file for viruses.</source>
        <translation>Durchsucht ein Volume, einen Ordner oder eine Datei nach Viren.</translation>
    </message>
    <message>
        <source>Task name:</source>
        <translation>Name der Aufgabe:</translation>
    </message>
    <message>
        <source>A name for this task</source>
        <translation>Ein Name für diese Aufgabe</translation>
    </message>
    <message>
        <source>Scan target:</source>
        <translation>Scan-Ziel:</translation>
    </message>
    <message>
        <source>Drop a disk, folder or file here</source>
        <translation>Volume, Ordner oder Datei hierher ziehen</translation>
    </message>
    <message>
        <source>The disk, folder or file to scan. Drag it here from the file manager, type its path, or click Choose.</source>
        <translation>Das Volume, der Ordner oder die Datei, die durchsucht werden sollen. Ziehen Sie sie aus der Dateiverwaltung hierher, geben Sie den Pfad ein oder klicken Sie auf „Auswählen“.</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Auswählen …</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Häufigkeit:</translation>
    </message>
    <message>
        <source>Day:</source>
        <translation>Tag:</translation>
    </message>
    <message>
        <source>The task runs on this day of every month.</source>
        <translation>Die Aufgabe läuft an diesem Tag jedes Monats.</translation>
    </message>
    <message>
        <source>The task runs on this day of every week.</source>
        <translation>Die Aufgabe läuft an diesem Tag jeder Woche.</translation>
    </message>
    <message>
        <source>The task runs every day.</source>
        <translation>Die Aufgabe läuft jeden Tag.</translation>
    </message>
    <message>
        <source>The task runs on this date every year.</source>
        <translation>Die Aufgabe läuft jedes Jahr an diesem Datum.</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Uhrzeit:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Sichern</translation>
    </message>
</context>
<context>
    <name>RenovixWindow</name>
    <message>
        <source>Looks for updates of a Tavrin product.</source>
        <translation>Sucht nach Aktualisierungen eines Tavrin-Produkts.</translation>
    </message>
    <message>
        <source>Task name:</source>
        <translation>Name der Aufgabe:</translation>
    </message>
    <message>
        <source>A name for this task</source>
        <translation>Ein Name für diese Aufgabe</translation>
    </message>
    <message>
        <source>Product:</source>
        <translation>Produkt:</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Häufigkeit:</translation>
    </message>
    <message>
        <source>Day:</source>
        <translation>Tag:</translation>
    </message>
    <message>
        <source>The task runs on this day of every month.</source>
        <translation>Die Aufgabe läuft an diesem Tag jedes Monats.</translation>
    </message>
    <message>
        <source>The task runs on this day of every week.</source>
        <translation>Die Aufgabe läuft an diesem Tag jeder Woche.</translation>
    </message>
    <message>
        <source>The task runs every day.</source>
        <translation>Die Aufgabe läuft jeden Tag.</translation>
    </message>
    <message>
        <source>The task runs on this date every year.</source>
        <translation>Die Aufgabe läuft jedes Jahr an diesem Datum.</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Uhrzeit:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Sichern</translation>
    </message>
</context>
<context>
    <name>SCApplication</name>
    <message>
        <source>Tavrin Scheduler is already running, but it did not answer (error %1).</source>
        <translation>Tavrin Scheduler läuft bereits, hat aber nicht geantwortet (Fehler %1).</translation>
    </message>
</context>
<context>
    <name>SCCalendarView</name>
    <message>
        <source>Click a day to start your event.</source>
        <translation>Klicken Sie auf den Tag, an dem Ihr Ereignis beginnen soll.</translation>
    </message>
    <message>
        <source>These days are currently disabled because you cannot schedule events in the past.</source>
        <translation>Diese Tage sind zurzeit deaktiviert, weil Sie keine Ereignisse in der Vergangenheit planen können.</translation>
    </message>
    <message>
        <source>These days are currently disabled because you cannot schedule events more than one year in the future.</source>
        <translation>Diese Tage sind zurzeit deaktiviert, weil Sie Ereignisse höchstens ein Jahr im Voraus planen können.</translation>
    </message>
    <message>
        <source>Click to go back a month.</source>
        <translation>Klicken Sie hier, um einen Monat zurückzugehen.</translation>
    </message>
    <message>
        <source>This button is currently disabled because you cannot schedule events in the past.</source>
        <translation>Diese Schaltfläche ist zurzeit deaktiviert, weil Sie keine Ereignisse in der Vergangenheit planen können.</translation>
    </message>
    <message>
        <source>Click to go forward a month.</source>
        <translation>Klicken Sie hier, um einen Monat weiterzugehen.</translation>
    </message>
    <message>
        <source>This button is currently disabled because you cannot schedule events more than one year in the future.</source>
        <translation>Diese Schaltfläche ist zurzeit deaktiviert, weil Sie Ereignisse höchstens ein Jahr im Voraus planen können.</translation>
    </message>
</context>
<context>
    <name>SCClockView</name>
    <message>
        <source>Hour</source>
        <translation>Stunde</translation>
    </message>
    <message>
        <source>Minute</source>
        <translation>Minute</translation>
    </message>
    <message>
        <source>Step the selected cell</source>
        <translation>Ausgewähltes Feld ändern</translation>
    </message>
    <message>
        <source>Click to switch between AM and PM.</source>
        <translation>Klicken Sie hier, um zwischen vormittags und nachmittags zu wechseln.</translation>
    </message>
    <message>
        <source>AM</source>
        <translation>vorm.</translation>
    </message>
    <message>
        <source>PM</source>
        <translation>nachm.</translation>
    </message>
</context>
<context>
    <name>SCControlsPreview</name>
    <message>
        <source>Controls Preview</source>
        <translation>Vorschau der Bedienelemente</translation>
    </message>
    <message>
        <source>12-hour clock:</source>
        <translation>12-Stunden-Uhr:</translation>
    </message>
    <message>
        <source>24-hour clock:</source>
        <translation>24-Stunden-Uhr:</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Weekday</source>
        <translation>Wochentag</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Day of the month</source>
        <translation>Tag des Monats</translation>
    </message>
    <message>
        <source>Shows the scheduler&apos;s own controls.</source>
        <translation>Zeigt die eigenen Bedienelemente des Planers.</translation>
    </message>
    <message>
        <source>Draws the controls in this style.</source>
        <translation>Zeichnet die Bedienelemente in diesem Stil.</translation>
    </message>
    <message>
        <source>Also saves a picture of each control into this folder.</source>
        <translation>Speichert außerdem ein Bild jedes Bedienelements in diesem Ordner.</translation>
    </message>
</context>
<context>
    <name>SCHourFormatter</name>
    <message>
        <source>Couldn&apos;t convert to correct Hour.</source>
        <translation>Die Eingabe ist keine gültige Stunde.</translation>
    </message>
</context>
<context>
    <name>SCMainWindowController</name>
    <message>
        <source>Toolbar</source>
        <translation>Symbolleiste</translation>
    </message>
    <message>
        <source>Schedule a task:</source>
        <translation>Aufgabe planen:</translation>
    </message>
    <message>
        <source>New Ombrix Scan Task…</source>
        <translation>Neue Ombrix-Scan-Aufgabe …</translation>
    </message>
    <message>
        <source>Click to schedule an Ombrix scan.</source>
        <translation>Klicken Sie hier, um einen Ombrix-Scan zu planen.</translation>
    </message>
    <message>
        <source>New Product Update Task…</source>
        <translation>Neue Produktaktualisierung …</translation>
    </message>
    <message>
        <source>Click to schedule a Tavrin product update.</source>
        <translation>Klicken Sie hier, um eine Aktualisierung eines Tavrin-Produkts zu planen.</translation>
    </message>
    <message>
        <source>New Custorix Snapshot Task…</source>
        <translation>Neue Custorix-Schnappschuss-Aufgabe …</translation>
    </message>
    <message>
        <source>Click to schedule a Custorix Snapshot task.</source>
        <translation>Klicken Sie hier, um einen Custorix-Schnappschuss zu planen.</translation>
    </message>
    <message>
        <source>New Defragmentation Task…</source>
        <translation>Neue Defragmentierung …</translation>
    </message>
    <message>
        <source>Click to schedule volume defragmentation.</source>
        <translation>Klicken Sie hier, um die Defragmentierung von Volumes zu planen.</translation>
    </message>
    <message>
        <source>About Tavrin Scheduler</source>
        <translation>Über Tavrin Scheduler</translation>
    </message>
    <message>
        <source>Tavrin Scheduler</source>
        <translation>Tavrin Scheduler</translation>
    </message>
    <message>
        <source>Schedules scans, updates, snapshots and defragmentation of the Tavrin products. Your tasks are kept in your crontab.</source>
        <translation>Plant Scans, Aktualisierungen, Schnappschüsse und Defragmentierungen der Tavrin-Produkte. Ihre Aufgaben stehen in Ihrer crontab.</translation>
    </message>
    <message>
        <source>Delete Task</source>
        <translation>Aufgabe löschen</translation>
    </message>
    <message>
        <source>Don&apos;t Delete</source>
        <translation>Nicht löschen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Are you sure you want to delete this task?</source>
        <translation>Möchten Sie diese Aufgabe wirklich löschen?</translation>
    </message>
    <message>
        <source>error %1</source>
        <translation>Fehler %1</translation>
    </message>
    <message>
        <source>Your crontab could not be written.</source>
        <translation>Ihre crontab konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>The change is shown here but is not in your crontab yet (%1). It is written with your next change, or when you quit.</source>
        <translation>Die Änderung wird hier angezeigt, steht aber noch nicht in Ihrer crontab (%1). Sie wird mit Ihrer nächsten Änderung oder beim Beenden geschrieben.</translation>
    </message>
    <message>
        <source>Task Editing in Progress</source>
        <translation>Aufgabe wird bearbeitet</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Quit Without Saving</source>
        <translation>Beenden ohne zu sichern</translation>
    </message>
    <message>
        <source>Are you sure you want to quit without saving?</source>
        <translation>Möchten Sie wirklich beenden, ohne zu sichern?</translation>
    </message>
    <message>
        <source>Tasks: %1</source>
        <translation>Aufgaben: %1</translation>
    </message>
</context>
<context>
    <name>SCMinuteFormatter</name>
    <message>
        <source>Couldn&apos;t convert to correct Hour.</source>
        <translation>Die Eingabe ist keine gültige Stunde.</translation>
    </message>
</context>
<context>
    <name>SCOmbrixWindowController</name>
    <message>
        <source>Select a scan target:</source>
        <translation>Scan-Ziel auswählen:</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>No Scan Selection made.</source>
        <translation>Kein Scan-Ziel ausgewählt.</translation>
    </message>
    <message>
        <source>Don&apos;t Save</source>
        <translation>Nicht sichern</translation>
    </message>
    <message>
        <source>You must select something to scan.</source>
        <translation>Sie müssen etwas auswählen, das durchsucht werden soll.</translation>
    </message>
    <message>
        <source>The scan target&apos;s path is too long.</source>
        <translation>Der Pfad des Scan-Ziels ist zu lang.</translation>
    </message>
    <message>
        <source>The scan target cannot be scheduled.</source>
        <translation>Dieses Scan-Ziel kann nicht geplant werden.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Choose a disk, folder or file with a shorter path.</source>
        <translation>Wählen Sie ein Volume, einen Ordner oder eine Datei mit kürzerem Pfad.</translation>
    </message>
    <message>
        <source>Its path contains a character that cannot be stored safely in the crontab: a double quote, a dollar sign, a backquote, a backslash, a percent sign or a control character. Choose another disk, folder or file, or rename it.</source>
        <translation>Sein Pfad enthält ein Zeichen, das nicht sicher in der crontab gespeichert werden kann: ein doppeltes Anführungszeichen, ein Dollarzeichen, einen Gravis, einen umgekehrten Schrägstrich, ein Prozentzeichen oder ein Steuerzeichen. Wählen Sie ein anderes Volume, einen anderen Ordner oder eine andere Datei oder benennen Sie es um.</translation>
    </message>
</context>
<context>
    <name>SCPreviewCommandLine</name>
    <message>
        <source>Saves a picture of the window.</source>
        <translation>Speichert ein Bild des Fensters.</translation>
    </message>
    <message>
        <source>Takes this date as today.</source>
        <translation>Nimmt dieses Datum als heute.</translation>
    </message>
    <message>
        <source>Shows the texts in this language.</source>
        <translation>Zeigt die Texte in dieser Sprache.</translation>
    </message>
    <message>
        <source>Not a date: %1 (expected yyyy-mm-dd).</source>
        <translation>Kein Datum: %1 (erwartet: JJJJ-MM-TT).</translation>
    </message>
    <message>
        <source>Cannot save the picture %1.</source>
        <translation>Das Bild %1 kann nicht gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>SCTaskDataSource</name>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Häufigkeit</translation>
    </message>
    <message>
        <source>Next Launch</source>
        <translation>Nächster Start</translation>
    </message>
    <message>
        <source>Only the tasks that are switched on run at their time.</source>
        <translation>Nur eingeschaltete Aufgaben werden zu ihrer Zeit ausgeführt.</translation>
    </message>
    <message>
        <source>Click to sort the tasks by this column; click again to reverse the order.</source>
        <translation>Klicken Sie hier, um die Aufgaben nach dieser Spalte zu sortieren; ein weiterer Klick kehrt die Reihenfolge um.</translation>
    </message>
</context>
<context>
    <name>SCTaskTablePreview</name>
    <message>
        <source>Scheduled Tasks</source>
        <translation>Geplante Aufgaben</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Weekday</source>
        <translation>Wochentag</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Your crontab could not be read, so no tasks are shown.</source>
        <translation>Ihre Crontab konnte nicht gelesen werden, daher werden keine Aufgaben angezeigt.</translation>
    </message>
    <message>
        <source>You have no scheduled tasks.</source>
        <translation>Sie haben keine geplanten Aufgaben.</translation>
    </message>
    <message>
        <source>One task, switched on.</source>
        <translation>Eine Aufgabe, eingeschaltet.</translation>
    </message>
    <message>
        <source>One task, switched off.</source>
        <translation>Eine Aufgabe, ausgeschaltet.</translation>
    </message>
    <message>
        <source>%1 tasks, %2 of them switched on. Click a column title to sort by it.</source>
        <translation>%1 Aufgaben, davon %2 eingeschaltet. Klicken Sie auf einen Spaltentitel, um danach zu sortieren.</translation>
    </message>
    <message>
        <source>Shows your scheduled tasks and the scheduler&apos;s controls.</source>
        <translation>Zeigt Ihre geplanten Aufgaben und die Bedienelemente des Planers.</translation>
    </message>
    <message>
        <source>Clicks the title of this column (may be repeated).</source>
        <translation>Klickt auf den Titel dieser Spalte (darf wiederholt werden).</translation>
    </message>
    <message>
        <source>Draws the window in this style.</source>
        <translation>Zeichnet das Fenster in diesem Stil.</translation>
    </message>
    <message>
        <source>No column is called %1.</source>
        <translation>Keine Spalte heißt %1.</translation>
    </message>
</context>
<context>
    <name>SCWeekView</name>
    <message>
        <source>Sun</source>
        <translation>So</translation>
    </message>
    <message>
        <source>Mon</source>
        <translation>Mo</translation>
    </message>
    <message>
        <source>Tue</source>
        <translation>Di</translation>
    </message>
    <message>
        <source>Wed</source>
        <translation>Mi</translation>
    </message>
    <message>
        <source>Thu</source>
        <translation>Do</translation>
    </message>
    <message>
        <source>Fri</source>
        <translation>Fr</translation>
    </message>
    <message>
        <source>Sat</source>
        <translation>Sa</translation>
    </message>
</context>
<context>
    <name>SCWindowControllerBase</name>
    <message>
        <source>   Edit</source>
        <translation>   Bearbeiten:</translation>
    </message>
    <message>
        <source>   Add</source>
        <translation>   Hinzufügen:</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Based on the current time setting, this task will begin tomorrow.</source>
        <translation>Mit der eingestellten Uhrzeit beginnt diese Aufgabe morgen.</translation>
    </message>
    <message>
        <source>Based on the current time setting, this task will begin today.</source>
        <translation>Mit der eingestellten Uhrzeit beginnt diese Aufgabe heute.</translation>
    </message>
    <message>
        <source>No name entered for the Task.</source>
        <translation>Für die Aufgabe wurde kein Name eingegeben.</translation>
    </message>
    <message>
        <source>Enter Name</source>
        <translation>Name eingeben</translation>
    </message>
    <message>
        <source>Don&apos;t Save</source>
        <translation>Nicht sichern</translation>
    </message>
    <message>
        <source>You must enter a task name to Save the task.</source>
        <translation>Sie müssen einen Namen eingeben, um die Aufgabe zu sichern.</translation>
    </message>
    <message>
        <source>The task name is too long.</source>
        <translation>Der Name der Aufgabe ist zu lang.</translation>
    </message>
    <message>
        <source>Shorten the task name to save the task.</source>
        <translation>Kürzen Sie den Namen, um die Aufgabe zu sichern.</translation>
    </message>
    <message>
        <source>Save </source>
        <translation>Aufgabe „</translation>
    </message>
    <message>
        <source> Task</source>
        <translation>“ sichern</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Sichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Are you sure you want to Save this Task?</source>
        <translation>Möchten Sie diese Aufgabe wirklich sichern?</translation>
    </message>
    <message>
        <source>the crontab command gave no reason</source>
        <translation>der Befehl crontab nannte keinen Grund</translation>
    </message>
    <message>
        <source>Your crontab could not be changed (%1). Your entries are still here: save again, or cancel to leave the task as it was.</source>
        <translation>Ihre crontab konnte nicht geändert werden (%1). Ihre Eingaben sind noch da: Sichern Sie erneut oder brechen Sie ab, um die Aufgabe unverändert zu lassen.</translation>
    </message>
    <message>
        <source>The task could not be stored (error %1). Your entries are still here: change them and save again, or cancel to leave the task as it was.</source>
        <translation>Die Aufgabe konnte nicht gespeichert werden (Fehler %1). Ihre Eingaben sind noch da: Ändern Sie sie und sichern Sie erneut oder brechen Sie ab, um die Aufgabe unverändert zu lassen.</translation>
    </message>
    <message>
        <source>The task could not be saved.</source>
        <translation>Die Aufgabe konnte nicht gesichert werden.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Datum:</translation>
    </message>
    <message>
        <source>Day:</source>
        <translation>Tag:</translation>
    </message>
</context>
</TS>
