<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
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
        <source>Saves a picture of the window.</source>
        <translation>Speichert ein Bild des Fensters.</translation>
    </message>
    <message>
        <source>Shows the texts in this language.</source>
        <translation>Zeigt die Texte in dieser Sprache.</translation>
    </message>
    <message>
        <source>Takes this date as today.</source>
        <translation>Nimmt dieses Datum als heute.</translation>
    </message>
    <message>
        <source>Draws the controls in this style.</source>
        <translation>Zeichnet die Bedienelemente in diesem Stil.</translation>
    </message>
    <message>
        <source>Also saves a picture of each control into this folder.</source>
        <translation>Speichert außerdem ein Bild jedes Bedienelements in diesem Ordner.</translation>
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
    <name>SCHourFormatter</name>
    <message>
        <source>Couldn&apos;t convert to correct Hour.</source>
        <translation>Die Eingabe ist keine gültige Stunde.</translation>
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
</TS>
