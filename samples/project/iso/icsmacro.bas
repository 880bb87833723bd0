' Cover-sheet macro of the sample project. Vistrel runs it on every cover sheet right after the
' end-number table, with the first iso drawing of the pipeline attached as the reference "i01".
' It heads the table's five columns and rules a line below the headings.
Sub main
    MbeSendCommand "ACTIVE TXJ LC;tx=3;tw=2.5;co=4;lv=21"
    MbeSendCommand "place text;No;xy=15,258"
    MbeSendCommand "place text;Connect to;xy=30,258"
    MbeSendCommand "place text;Delta X;xy=130,258"
    MbeSendCommand "place text;Delta Y;xy=165,258"
    MbeSendCommand "place text;Elevation;xy=200,258"
    MbeSendReset
    MbeSendCommand "co=4;wt=1;place lstring;xy=12,254;xy=225,254"
    MbeSendReset
End Sub
