' Cover-sheet macro of the sample project. Vistrel runs it on every cover sheet right after the
' end-number table, with the first iso drawing of the pipeline attached as the reference "i01".
' It heads the table's five columns and rules a line below the headings.
Sub main
    MbeSendCommand "ACTIVE TXJ LC;tx=3;tw=2.5;co=4;lv=21"
    MbeSendCommand "place text;No;xy=10,258"
    MbeSendCommand "place text;Connect to;xy=25,258"
    MbeSendCommand "place text;Delta X;xy=60,258"
    MbeSendCommand "place text;Delta Y;xy=90,258"
    MbeSendCommand "place text;Elevation;xy=120,258"
    MbeSendReset
    MbeSendCommand "co=4;wt=1;place lstring;xy=8,254;xy=150,254"
    MbeSendReset
End Sub
