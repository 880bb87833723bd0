! Plot parameters of the Vistrel sample project.
! A run plots each drawing with a copy of this file in TMP named after the plot
! (P1001_001.i), in which "iplot modify" sets the queue and the design.
queue=
design=
