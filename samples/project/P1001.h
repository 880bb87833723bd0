ISOGEN HEADER FILE                      VISTREL DEMO PROJECT
PIPELINE    P1001     SERVICE     COOLING WATER SUPPLY
CLASS       A1B       SHEET       1 OF 1
UNITS       MM        DRAWING UNITS  M

Design file data sorted by topo
KIND   RUN     SKEY   END         X         Y         Z  CONN  SIZE CLASS GROUP  B ITEM         SH  SEQ UNIT
------ ------- ------ ---- --------- --------- --------- ----- ----- ----- ------ - ------------ -- ---- ----
ELBO   R0003   EL90   CP        7.74      2.61      3.10     0   150 A1B   G0003  0 CP-R0003      1    1 MM
TEE    R0007   TERF   CP        7.74     15.11      3.10     0   150 A1B   G0007  0 CP-R0007      1    2 MM
ELBO   R0009   EL90   CP       15.74     15.11      3.10     0   100 A1B   G0009  0 CP-R0009      1    3 MM
ELBO   R0013   EL90   CP        7.74     23.11      3.10     0   150 A1B   G0013  0 CP-R0013      1    4 MM
FLAN   R0001   FLWN   E1        1.24      2.61      3.10    -1   150 A1B   G0001  1 FLA-A1B-150   1    5 MM
FLAN   R0001   FLWN   E2        1.39      2.61      3.10     1   150 A1B   G0001  1 FLA-A1B-150   1    6 MM
PIPE   R0002   PIPE   E1        1.39      2.61      3.10     1   150 A1B   G0002  1 PIP-A1B-150   1    7 MM
PIPE   R0002   PIPE   E2        7.24      2.61      3.10     2   150 A1B   G0002  1 PIP-A1B-150   1    8 MM
ELBO   R0003   EL90   E1        7.24      2.61      3.10     2   150 A1B   G0003  1 ELB-A1B-150   1    9 MM
ELBO   R0003   EL90   E2        7.74      3.11      3.10     3   150 A1B   G0003  1 ELB-A1B-150   1   10 MM
PIPE   R0004   PIPE   E1        7.74      3.11      3.10     3   150 A1B   G0004  1 PIP-A1B-150   1   11 MM
PIPE   R0004   PIPE   E2        7.74     10.61      3.10     4   150 A1B   G0004  1 PIP-A1B-150   1   12 MM
VALV   R0005   VAGF   E1        7.74     10.61      3.10     4   150 A1B   G0005  1 VAL-A1B-150   1   13 MM
VALV   R0005   VAGF   E2        7.74     11.01      3.10     5   150 A1B   G0005  1 VAL-A1B-150   1   14 MM
PIPE   R0006   PIPE   E1        7.74     11.01      3.10     5   150 A1B   G0006  1 PIP-A1B-150   1   15 MM
PIPE   R0006   PIPE   E2        7.74     14.61      3.10     6   150 A1B   G0006  1 PIP-A1B-150   1   16 MM
TEE    R0007   TERF   E1        7.74     14.61      3.10     6   150 A1B   G0007  1 TEE-A1B-150   1   17 MM
TEE    R0007   TERF   E2        7.74     15.61      3.10     7   150 A1B   G0007  1 TEE-A1B-150   1   18 MM
TEE    R0007   TERF   E3        8.24     15.11      3.10     8   150 A1B   G0007  1 TEE-A1B-150   1   19 MM
PIPE   R0008   PIPE   E1        8.24     15.11      3.10     8   100 A1B   G0008  1 PIP-A1B-100   1   20 MM
PIPE   R0008   PIPE   E2       15.24     15.11      3.10     9   100 A1B   G0008  1 PIP-A1B-100   1   21 MM
ELBO   R0009   EL90   E1       15.24     15.11      3.10     9   100 A1B   G0009  1 ELB-A1B-100   1   22 MM
ELBO   R0009   EL90   E2       15.74     15.11      2.60    10   100 A1B   G0009  1 ELB-A1B-100   1   23 MM
PIPE   R0010   PIPE   E1       15.74     15.11      2.60    10   100 A1B   G0010  1 PIP-A1B-100   1   24 MM
PIPE   R0010   PIPE   E2       15.74     15.11      0.60    11   100 A1B   G0010  1 PIP-A1B-100   1   25 MM
FLAN   R0011   FLWN   E1       15.74     15.11      0.60    11   100 A1B   G0011  1 FLA-A1B-100   1   26 MM
FLAN   R0011   FLWN   E2       15.74     15.11      0.45    -1   100 A1B   G0011  1 FLA-A1B-100   1   27 MM
PIPE   R0012   PIPE   E1        7.74     15.61      3.10     7   150 A1B   G0012  1 PIP-A1B-150   1   28 MM
PIPE   R0012   PIPE   E2        7.74     22.61      3.10    12   150 A1B   G0012  1 PIP-A1B-150   1   29 MM
ELBO   R0013   EL90   E1        7.74     22.61      3.10    12   150 A1B   G0013  1 ELB-A1B-150   1   30 MM
ELBO   R0013   EL90   E2        8.24     23.11      3.10    13   150 A1B   G0013  1 ELB-A1B-150   1   31 MM
PIPE   R0014   PIPE   E1        8.24     23.11      3.10    13   150 A1B   G0014  1 PIP-A1B-150   1   32 MM
PIPE   R0014   PIPE   E2       19.24     23.11      3.10    14   150 A1B   G0014  1 PIP-A1B-150   1   33 MM
REDU   R0015   RECO   E1       19.24     23.11      3.10    14   150 A1B   G0015  1 RED-A1B-150   1   34 MM
REDU   R0015   RECO   E2       19.54     23.11      3.10    15   150 A1B   G0015  1 RED-A1B-150   1   35 MM
PIPE   R0016   PIPE   E1       19.54     23.11      3.10    15   100 A1B   G0016  1 PIP-A1B-100   1   36 MM
PIPE   R0016   PIPE   E2       26.24     23.11      3.10    16   100 A1B   G0016  1 PIP-A1B-100   1   37 MM
PIPE   R0017   PIPE   E1       26.24     23.11      3.10    16   100 A1B   G0017  1 PIP-A1B-100   1   38 MM
PIPE   R0017   PIPE   E2       28.24     23.11      3.10    -1   100 A1B   G0017  1 PIP-A1B-100   1   39 MM

END OF TOPOLOGY   39 POINTS
Design file data in IDF order
KIND             X1          Y1          Z1          X2          Y2          Z2 RUN     END1 END2  SIZE SKEY
------ ----------- ----------- ----------- ----------- ----------- ----------- ------- ---- ---- ----- ------
FLAN          98960      209040      248320      110960      209040      248320 R0001   E1   E2     150 FLWN
PIPE         110960      209040      248320      578960      209040      248320 R0002   E1   E2     150 PIPE
ELBO         578960      209040      248320      618960      249040      248320 R0003   E1   E2     150 EL90
PIPE         618960      249040      248320      618960      849040      248320 R0004   E1   E2     150 PIPE
VALV         618960      849040      248320      618960      881040      248320 R0005   E1   E2     150 VAGF
PIPE         618960      881040      248320      618960     1169040      248320 R0006   E1   E2     150 PIPE
TEE          618960     1169040      248320      618960     1249040      248320 R0007   E1   E2     150 TERF
TEE          618960     1209040      248320      658960     1209040      248320 R0007   CP   E3     150 TERF
PIPE         658960     1209040      248320     1218960     1209040      248320 R0008   E1   E2     100 PIPE
ELBO        1218960     1209040      248320     1258960     1209040      208320 R0009   E1   E2     100 EL90
PIPE        1258960     1209040      208320     1258960     1209040       48320 R0010   E1   E2     100 PIPE
FLAN        1258960     1209040       48320     1258960     1209040       36320 R0011   E1   E2     100 FLWN
PIPE         618960     1249040      248320      618960     1809040      248320 R0012   E1   E2     150 PIPE
ELBO         618960     1809040      248320      658960     1849040      248320 R0013   E1   E2     150 EL90
PIPE         658960     1849040      248320     1538960     1849040      248320 R0014   E1   E2     150 PIPE
REDU        1538960     1849040      248320     1562960     1849040      248320 R0015   E1   E2     150 RECO
PIPE        1562960     1849040      248320     2098960     1849040      248320 R0016   E1   E2     100 PIPE
DASH        2098960     1849040      248320     2258960     1849040      248320 R0017   E1   E2     100 PIPE
